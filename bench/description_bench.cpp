// Reading the simulator's JSON description: a camera of N nodes beside an
// enumeration of N entries, read by pvxInitLibrary. Each node's name and each entry
// is checked against the earlier ones, so the time per node shows whether that check
// stays linear (100,000 nodes took over a minute when it scanned every earlier one).
#include "camera/quorvex_api.h"
#include "sim/defaults.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path writeDescription(int64_t count) {
    nlohmann::json nodes = nlohmann::json::array(), entries = nlohmann::json::array();
    for (int64_t i = 0; i < count; ++i) {
        nodes.push_back({{"name", "Node" + std::to_string(i)}, {"type", "Integer"}});
        entries.push_back("Entry" + std::to_string(i));
    }
    nodes.push_back({{"name", "Many"}, {"type", "Enumeration"}, {"entries", entries}});
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("aik_description_bench_" + std::to_string(count) + ".json");
    std::ofstream(file) << nlohmann::json{{"cameras", nlohmann::json::array({{{"nodes", nodes}}})}}.dump();
    return file;
}

void BM_ReadDescription(benchmark::State& state) {
    const std::filesystem::path file = writeDescription(state.range(0));
    setenv(sim::kConfigVariable, file.c_str(), 1);
    for (auto _ : state) {
        if (pvxInitLibrary(1) != PVX_OK) {
            state.SkipWithError("pvxInitLibrary refused the description");
            break;
        }
    }
    std::filesystem::remove(file);
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadDescription)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
