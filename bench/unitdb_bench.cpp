// How long the largest database the lists hold takes to load, sort and save.
#include "unitdb/basefile.h"
#include "unitdb/unitsort.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace
{

// 51 categories x 101 units in a random order, every unit with a description holding commas.
unitdb::UnitDatabase fullDatabase()
{
    const std::string letters[] = {"А", "б", "в", "Г", "д", "Ё", "ж", "К",
                                   "м", "я", "a", "B", "c", "1", "-", "ё"};
    std::mt19937 random(51101);
    std::vector<unitdb::Quantity> quantities(unitdb::kMaxQuantities);
    for (std::size_t q = 0; q < quantities.size(); ++q) {
        quantities[q].name = "Раздел номер " + std::to_string(q);
        for (std::size_t s = 0; s < unitdb::kMaxUnits; ++s) {
            std::string name;
            for (int i = 0; i < 12; ++i)
                name += letters[random() % std::size(letters)];
            quantities[q].units.push_back(
                {name + " (ед. " + std::to_string(s) + ")", static_cast<double>(random()) / 7919.0,
                 "Единица измерения номер " + std::to_string(s) +
                     ", \"условная\", для проверки скорости чтения, сортировки и записи."});
        }
    }
    return unitdb::UnitDatabase(std::move(quantities), unitdb::TextEncoding::Cp1251);
}

std::filesystem::path benchFile(const char* name)
{
    return std::filesystem::temp_directory_path() / name;
}

void BM_Load(benchmark::State& state)
{
    const auto path = benchFile("unitdb_bench_load.dat");
    if (!unitdb::save(fullDatabase(), path).ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    unitdb::UnitDatabase database;
    for (auto _ : state) {
        const auto r = unitdb::load(database, path);
        benchmark::DoNotOptimize(r.code);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state)
{
    const auto unsorted = fullDatabase();
    unitdb::UnitDatabase database;
    for (auto _ : state) {
        state.PauseTiming();
        database = unsorted;
        state.ResumeTiming();
        database.sortUnits();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    const auto path = benchFile("unitdb_bench_save.dat");
    const auto database = fullDatabase();
    for (auto _ : state) {
        const auto r = unitdb::save(database, path);
        benchmark::DoNotOptimize(r.code);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

} // namespace
