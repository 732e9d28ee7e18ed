// Growth of the calculator's evaluation time with the length of the expression: each size is
// ten times the one before, so linear work shows as ten times the time. The Plain cases run
// the plain evaluator on the same texts, the floor to compare with.
#include "bench/calcshapes.h"
#include "calc/calculator.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>
#include <variant>

namespace
{

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void run(benchmark::State& state, std::string (*make)(long))
{
    const std::string text = make(state.range(0));
    if (!std::holds_alternative<double>(calc::evaluate(text))) {
        state.SkipWithError("the expression did not evaluate to a number");
        return;
    }
    const long faultsBefore = minorFaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::evaluate(text));
    state.counters["faults"] = benchmark::Counter(static_cast<double>(minorFaults() - faultsBefore),
                                                  benchmark::Counter::kAvgIterations);
    state.SetComplexityN(state.range(0));
    state.counters["chars"] = static_cast<double>(text.size());
}

void BM_FlatSums(benchmark::State& state)
{
    run(state, shapes::sums);
}
void BM_DivisionChain(benchmark::State& state)
{
    run(state, shapes::divisions);
}
void BM_Mixed(benchmark::State& state)
{
    run(state, shapes::mixed);
}
void BM_NestedBrackets(benchmark::State& state)
{
    run(state, shapes::nested);
}

void BM_Plain(benchmark::State& state)
{
    const shapes::Shape& shape = shapes::kShapes[static_cast<std::size_t>(state.range(0))];
    const std::string text = shape.make(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(shapes::PlainEvaluator(text).run());
    state.SetLabel(shape.name);
}

} // namespace

BENCHMARK(BM_FlatSums)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_DivisionChain)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_Mixed)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_NestedBrackets)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_Plain)->ArgsProduct({{0, 1, 2, 3}, {100000}})->Unit(benchmark::kMillisecond);
