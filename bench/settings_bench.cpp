// The settings store at start-up and at exit on settings files of growing
// size: the file is read and parsed once, and an exit replaces it once.
#include "settings/settingsstore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// The values start-up reads and shut-down writes.
const char* const kStartUpValues[] = {"Ignoring", "Launched", "Velic",  "Field1",
                                      "Field2",   "Field3",   "Field4", "Field5",
                                      "Round",    "Logging",  "Logfile"};

// `values` values, or as many keys and values added and then deleted again ("[-KEY]",
// "name"=-), as an export file that undoes an earlier one holds them.
std::filesystem::path fileWith(std::int64_t values, bool deleted = false)
{
    const auto file = std::filesystem::temp_directory_path() /
                      ("mv_settings_bench_" + std::to_string(::getpid()) + "_" +
                       std::to_string(values) + (deleted ? "d" : "") + ".reg");
    std::ofstream out(file, std::ios::binary);
    out << "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n";
    for (const char* name : kStartUpValues)
        out << '"' << name << "\"=\"1\"\n";
    for (std::int64_t i = 0; !deleted && i < values; ++i)
        out << "\"Extra" << i << "\"=\"C:\\\\Program Files\\\\value " << i << "\"\n";
    for (std::int64_t i = 0; deleted && i < values; ++i)
        out << "\"Extra" << i << "\"=\"1\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other" << i << "]\n";
    for (std::int64_t i = 0; deleted && i < values; ++i)
        out << "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Other" << i
            << "]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n\"Extra" << i
            << "\"=-\n";
    return file;
}

// A replaced file is a new file: the atomic write renames another one over it.
ino_t inodeOf(const std::filesystem::path& file)
{
    struct stat info {
    };
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Start-up: the first read loads the file, then every value start-up needs. Second argument
// 1: the file adds and deletes as many keys and values.
void startUp(benchmark::State& state)
{
    const auto file = fileWith(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        settings::SettingsStore store(file);
        for (const char* name : kStartUpValues)
            benchmark::DoNotOptimize(store.read(name, "0"));
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(file);
}
// 45 000 deletions make a file of 7.9 MB, just under the 8 MiB the store reads.
BENCHMARK(startUp)
    ->ArgsProduct({{100, 1000, 10000, 100000}, {0}})
    ->ArgsProduct({{1000, 10000, 45000}, {1}})
    ->Unit(benchmark::kMillisecond);

// Start-up and exit: every value read, every value written back (one changed), one flush.
void startAndExit(benchmark::State& state)
{
    const auto file = fileWith(state.range(0));
    std::size_t replaces = 0;
    int round = 0;
    for (auto _ : state) {
        const ino_t before = inodeOf(file);
        settings::SettingsStore store(file);
        for (const char* name : kStartUpValues)
            benchmark::DoNotOptimize(store.read(name, "0"));
        for (const char* name : kStartUpValues)
            store.write(name, name == std::string("Velic") ? std::to_string(2 + round++ % 5)
                                                           : std::string("1"));
        store.flush();
        replaces += inodeOf(file) != before ? 1 : 0;
    }
    state.counters["replaces_per_exit"] =
        static_cast<double>(replaces) / static_cast<double>(state.iterations());
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(file);
}
BENCHMARK(startAndExit)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
