// Growth of the calculator's evaluation time with the length of the expression:
// each size is ten times the one before, so linear work shows as ten times the time.
#include "calc/calculator.h"

#include <benchmark/benchmark.h>

#include <string>
#include <variant>

namespace
{

std::string sums(long terms)
{
    std::string text = "1.5";
    for (long i = 1; i < terms; ++i)
        text += i % 2 ? "+2.25" : "-0.75";
    return text;
}

// Quotients stay near 1: /2 and /0.5 alternate.
std::string divisions(long terms)
{
    std::string text = "3";
    for (long i = 1; i < terms; ++i)
        text += i % 2 ? "/2" : "/0.5";
    return text;
}

// Products, quotients, sums, a function and pi in every group of four terms.
std::string mixed(long terms)
{
    static const char* const parts[] = {"*1.5", "/3", "+sin0.5", "-pi"};
    std::string text = "2";
    for (long i = 1; i < terms; ++i)
        text += parts[i % 4];
    return text;
}

// ((((1)+1)+1)+1): one bracket pair per term.
std::string nested(long terms)
{
    std::string text(static_cast<std::size_t>(terms), '(');
    text += "1";
    for (long i = 0; i < terms; ++i)
        text += ")+1";
    return text;
}

void run(benchmark::State& state, std::string (*make)(long))
{
    const std::string text = make(state.range(0));
    if (!std::holds_alternative<double>(calc::evaluate(text))) {
        state.SkipWithError("the expression did not evaluate to a number");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::evaluate(text));
    state.SetComplexityN(state.range(0));
    state.counters["chars"] = static_cast<double>(text.size());
}

void BM_FlatSums(benchmark::State& state)
{
    run(state, sums);
}
void BM_DivisionChain(benchmark::State& state)
{
    run(state, divisions);
}
void BM_Mixed(benchmark::State& state)
{
    run(state, mixed);
}
void BM_NestedBrackets(benchmark::State& state)
{
    run(state, nested);
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
