// GetImage of monochrome images against copies of the same bytes: the library's own
// copy inside the slot (the same image, the same cache state) and memcpy between hot
// buffers. Each GetImage waits, untimed, for a fresh image from the simulated camera;
// only the slot is timed, and the copies the same way.
#include "bench/library_probe.h"
#include "bench/percentile.h"
#include "bench/sim_module.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kIterations = 300;

// One camera per measured image; only the benchmarked one streams.
constexpr const char* kCameras = R"({"cameras": [
  {"model": "B-M8-1280", "sensorWidth": 1280, "sensorHeight": 1024, "pixelFormat": "Mono8", "frameRate": 200},
  {"model": "B-M12-1280", "sensorWidth": 1280, "sensorHeight": 1024, "pixelFormat": "Mono12", "frameRate": 200},
  {"model": "B-M8-2448", "sensorWidth": 2448, "sensorHeight": 2048, "pixelFormat": "Mono8", "frameRate": 100},
  {"model": "B-M12-2448", "sensorWidth": 2448, "sensorHeight": 2048, "pixelFormat": "Mono12", "frameRate": 100}
]})";

struct Image {
    int channel;
    std::size_t bytes;
};
struct NamedImage {
    const char* name;
    Image image;
};
constexpr NamedImage kImages[] = {
    {"Mono8_1280x1024", {0, 1280 * 1024}},
    {"Mono12_1280x1024", {1, 1280 * 1024 * 2}},
    {"Mono8_2448x2048", {2, 2448 * 2048}},
    {"Mono12_2448x2048", {3, 2448 * 2048 * 2}},
};

bool waitForImage(const VideoChannelRecord& record, char* errText) {
    for (int poll = 0; poll < 200; ++poll) {
        uint32_t acqResult = 0;
        if (record.WaitForIntegration(errText, record.channelID, &acqResult) == 0 &&
            acqResult == AIK_ACQ_DONE)
            return true;
    }
    return false;
}

void BM_GetImage(benchmark::State& state, Image image) {
    const aikhost::Channel& channel = aikbench::openSimCameras(kCameras, 4).channels.at(image.channel);
    const VideoChannelRecord& record = channel.record();
    std::string why;
    if (!aikbench::startChannel(channel, false, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    std::vector<uint8_t> buffer(image.bytes, 1);
    std::vector<double> samples;
    std::vector<double> copies;
    char errText[256] = {};
    for (auto _ : state) {
        if (!waitForImage(record, errText)) {
            state.SkipWithError("no image from the simulated camera");
            break;
        }
        uint32_t acqResult = 0;
        const auto start = Clock::now();
        const int32_t rc = record.GetImage(errText, record.channelID, buffer.data(), &acqResult);
        const auto stop = Clock::now();
        if (rc != 0 || acqResult != AIK_ACQ_DONE) {
            state.SkipWithError(errText);
            break;
        }
        benchmark::ClobberMemory();
        samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        copies.push_back(aikbench::LastCopyMicroseconds());
        state.SetIterationTime(samples.back() / 1e6);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.bytes));
    aikbench::ReportPercentiles(state, samples);
    // The library's copy of the same bytes inside the slot, under the same cache
    // conditions; its share of the slot's time is the slot's speed relative to it.
    const double copyMedian = aikbench::Percentile(copies, 0.5);
    state.counters["copy_p50_us"] = copyMedian;
    state.counters["vs_copy"] = copyMedian / aikbench::Percentile(samples, 0.5);
    channel.stopAcquisition();
}

// The reference of the performance table: the same bytes copied between two buffers
// that stay hot in this core's cache, timed the same way.
void BM_MemcpyHot(benchmark::State& state, Image image) {
    std::vector<uint8_t> source(image.bytes, 7);
    std::vector<uint8_t> destination(image.bytes, 1);
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::memcpy(destination.data(), source.data(), image.bytes);
        const auto end = Clock::now();
        benchmark::ClobberMemory();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        state.SetIterationTime(samples.back() / 1e6);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.bytes));
    aikbench::ReportPercentiles(state, samples);
}

} // namespace

// Each image's GetImage beside its memcpy reference, so the two run back to back.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const NamedImage& named : kImages) {
        const std::string suffix = std::string("/") + named.name;
        const Image image = named.image;
        for (benchmark::internal::Benchmark* registered :
             {benchmark::RegisterBenchmark(("BM_GetImage" + suffix).c_str(), BM_GetImage, image),
              benchmark::RegisterBenchmark(("BM_MemcpyHot" + suffix).c_str(), BM_MemcpyHot, image)})
            registered->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMicrosecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
