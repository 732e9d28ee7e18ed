// One evaluation in a fresh process, for the figures a long benchmark run hides: the page
// faults of a first call, and (under callgrind, collecting only the evaluation) its
// instructions. bench/calc_figures.py runs it.
//   calc_probe calc|plain sums|divisions|mixed|nested TERMS
#include "bench/calcshapes.h"
#include "calc/calculator.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <variant>

namespace
{

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Kept apart so that callgrind can collect exactly the call.
[[gnu::noinline]] double evaluateWithCalculator(const std::string& text)
{
    const auto result = calc::evaluate(text);
    return std::holds_alternative<double>(result) ? std::get<double>(result) : NAN;
}

[[gnu::noinline]] double evaluatePlain(const std::string& text)
{
    return shapes::PlainEvaluator(text).run();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4)
        return 2;
    const shapes::Shape* shape = nullptr;
    for (const shapes::Shape& s : shapes::kShapes)
        if (std::strcmp(s.name, argv[2]) == 0)
            shape = &s;
    if (!shape)
        return 2;
    const std::string text = shape->make(std::atol(argv[3]));
    const bool plain = std::strcmp(argv[1], "plain") == 0;
    const long before = minorFaults();
    const double value = plain ? evaluatePlain(text) : evaluateWithCalculator(text);
    const long faults = minorFaults() - before;
    std::printf("%ld %.15g\n", faults, value);
    return 0;
}
