// How long the largest database the tables hold takes to load, sort and save.
#include "unitdb/basefile.h"
#include "unitdb/unitsort.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace
{

// 51 categories x 101 units in a random order, every unit with a description holding commas.
std::unique_ptr<unitdb::UnitTables> fullTables()
{
    const std::string letters[] = {"А", "б", "в", "Г", "д", "Ё", "ж", "К",
                                   "м", "я", "a", "B", "c", "1", "-", "ё"};
    std::mt19937 random(51101);
    auto t = std::make_unique<unitdb::UnitTables>();
    t->categoryCount = unitdb::kMaxCategories;
    for (int c = 0; c < unitdb::kMaxCategories; ++c) {
        t->categoryNames[c] = "Раздел номер " + std::to_string(c);
        t->unitCount[c] = unitdb::kMaxUnits;
        for (int s = 0; s < unitdb::kMaxUnits; ++s) {
            std::string name;
            for (int i = 0; i < 12; ++i)
                name += letters[random() % std::size(letters)];
            t->unitNames[c][s] = name + " (ед. " + std::to_string(s) + ")";
            t->coefficients[c][s] = static_cast<double>(random()) / 7919.0;
            t->descriptions[c][s] =
                "Единица измерения номер " + std::to_string(s) +
                ", \"условная\", для проверки скорости чтения, сортировки и записи.";
        }
    }
    return t;
}

std::filesystem::path benchFile(const char* name)
{
    return std::filesystem::temp_directory_path() / name;
}

void BM_Load(benchmark::State& state)
{
    const auto path = benchFile("unitdb_bench_load.dat");
    if (!unitdb::save(*fullTables(), path).ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    auto t = std::make_unique<unitdb::UnitTables>();
    for (auto _ : state) {
        const auto r = unitdb::load(*t, path);
        benchmark::DoNotOptimize(r.code);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state)
{
    const auto unsorted = fullTables();
    auto t = std::make_unique<unitdb::UnitTables>();
    for (auto _ : state) {
        state.PauseTiming();
        *t = *unsorted;
        state.ResumeTiming();
        unitdb::sortUnits(*t);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    const auto path = benchFile("unitdb_bench_save.dat");
    const auto t = fullTables();
    for (auto _ : state) {
        const auto r = unitdb::save(*t, path);
        benchmark::DoNotOptimize(r.code);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

} // namespace
