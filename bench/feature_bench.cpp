// Feature slots as the host calls them: ReadValue of an integer, a float and an
// enumeration feature, and listing a channel's features with GetFeatureName, against
// the simulator's built-in cameras.
#include "host/loader/video_module.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

// The module and its channels, loaded once for all benchmarks of the run.
const aikhost::Enumeration& cameras() {
    static aikhost::VideoModule module(aikhost::VideoModule::defaultPath());
    static const aikhost::Enumeration enumeration = module.enumerate();
    if (enumeration.channels.size() < 2)
        throw std::runtime_error("the benchmarks need two simulated cameras");
    return enumeration;
}

const VideoChannelRecord& channel(size_t index) {
    return cameras().channels.at(index).record();
}

// One ReadValue per iteration; the feature names one node type each.
void BM_ReadValue(benchmark::State& state, const char* feature) {
    const VideoChannelRecord& record = channel(0);
    char errText[256];
    char val[256];
    if (record.ReadValue(errText, record.channelID, feature, val) != 0)
        state.SkipWithError(errText);
    for (auto _ : state) {
        benchmark::DoNotOptimize(record.ReadValue(errText, record.channelID, feature, val));
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_ReadValue, Integer, "SensorWidth");
BENCHMARK_CAPTURE(BM_ReadValue, Float, "AcquisitionFrameRate");
BENCHMARK_CAPTURE(BM_ReadValue, Enumeration, "PixelFormat");

// Enumerates the whole list of one channel (index 0, 1, ... until result 1); the
// list is built once, so this is the cost of indexing it. Items are GetFeatureName
// calls, so the rate reads as calls per second.
void BM_GetFeatureNameList(benchmark::State& state) {
    const VideoChannelRecord& record = channel(0);
    char errText[256];
    char feature[256];
    int64_t calls = 0;
    for (auto _ : state) {
        int32_t index = 0;
        while (record.GetFeatureName(errText, record.channelID, index, feature) == 0)
            ++index;
        calls += index + 1;
        state.counters["features"] = index;
    }
    state.SetItemsProcessed(calls);
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetFeatureNameList);

// GetFeatureName alternating between two channels: every call rebuilds the shared
// list from the camera (a lookup and an access read per catalogue entry).
void BM_GetFeatureNameSwitchingChannel(benchmark::State& state) {
    const VideoChannelRecord& first = channel(0);
    const VideoChannelRecord& second = channel(1);
    char errText[256];
    char feature[256];
    bool useFirst = true;
    for (auto _ : state) {
        const VideoChannelRecord& record = useFirst ? first : second;
        benchmark::DoNotOptimize(record.GetFeatureName(errText, record.channelID, 0, feature));
        useFirst = !useFirst;
    }
}
BENCHMARK(BM_GetFeatureNameSwitchingChannel);

} // namespace

BENCHMARK_MAIN();
