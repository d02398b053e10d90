// pvxConvertToPlanes beside its references in the same run: OpenCV's demosaic and
// split on one thread, memcpy of the bytes the conversion must move, and each kernel
// this processor runs. Prints the ratios after the benchmarks.
#include "bench/percentile.h"
#include "camera/quorvex_api.h"
#include "camlib/planes.h"
#include "sim/sim_control.h"

#include <benchmark/benchmark.h>

#ifdef AIK_PLANES_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kIterations = 200;

struct Size {
    uint32_t width, height;
    std::size_t Pixels() const { return std::size_t{width} * height; }
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
constexpr Size kSizes[] = {{1280, 1024}, {2448, 2048}};

// A source image of random samples and one buffer for the three planes, laid out as
// the adapter hands them over: blue, green, red one after another.
struct Frame {
    Frame(uint32_t format, Size frameSize)
        : size(frameSize), source(size.Pixels() * (format == PVX_PIXEL_RGB8 ? 3 : 1)),
          planes(3 * size.Pixels(), 1) {
        std::mt19937 random(7);
        for (uint8_t& sample : source)
            sample = static_cast<uint8_t>(random());
    }
    uint8_t* Blue() { return planes.data(); }
    uint8_t* Green() { return planes.data() + size.Pixels(); }
    uint8_t* Red() { return planes.data() + 2 * size.Pixels(); }

    Size size;
    std::vector<uint8_t> source;
    std::vector<uint8_t> planes;
};

// Median microseconds of each benchmark by name, for the ratio table.
std::map<std::string, double>& Medians() {
    static std::map<std::string, double> medians;
    return medians;
}

// Times body once per iteration; reports and records the median.
template <class Body>
void Measure(benchmark::State& state, const std::string& name, std::size_t bytes, Body&& body) {
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        body();
        const auto stop = Clock::now();
        benchmark::ClobberMemory();
        samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        state.SetIterationTime(samples.back() / 1e6);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    aikbench::ReportPercentiles(state, samples);
    Medians()[name] = aikbench::Percentile(samples, 0.5);
}

std::string Key(const char* what, uint32_t format, Size size) {
    return std::string(what) + (format == PVX_PIXEL_RGB8 ? "/RGB8/" : "/BayerRG8/") + size.Name();
}

void BM_ConvertToPlanes(benchmark::State& state, uint32_t format, Size size) {
    Frame frame(format, size);
    PvxStatus status = PVX_OK;
    Measure(state, Key("ConvertToPlanes", format, size), frame.source.size(), [&] {
        status = pvxConvertToPlanes(format, frame.Red(), frame.Green(), frame.Blue(), frame.source.data(),
                                    size.width, size.height);
    });
    if (status != PVX_OK)
        state.SkipWithError("pvxConvertToPlanes failed");
}

struct NamedKernel {
    const char* name;
    camlib::PlanesKernel kernel;
};
constexpr NamedKernel kKernels[] = {{"Portable", camlib::PlanesKernel::Portable},
                                    {"Sse41", camlib::PlanesKernel::Sse41},
                                    {"Avx2", camlib::PlanesKernel::Avx2},
                                    {"Avx512", camlib::PlanesKernel::Avx512}};

// One kernel alone, whichever the conversion would pick: what each instruction set gains.
void BM_Kernel(benchmark::State& state, NamedKernel kernel, uint32_t format, Size size) {
    Frame frame(format, size);
    Measure(state, Key(kernel.name, format, size), frame.source.size(), [&] {
        camlib::ConvertImageToPlanesWith(kernel.kernel, format, frame.Red(), frame.Green(), frame.Blue(),
                                         frame.source.data(), size.width, size.height);
    });
}

// The floor: memcpy of as many bytes as the conversion reads and writes together,
// between two buffers that stay hot.
void BM_MemcpyFloor(benchmark::State& state, uint32_t format, Size size) {
    const std::size_t bytes = size.Pixels() * (format == PVX_PIXEL_RGB8 ? 3 : 2);
    std::vector<uint8_t> source(bytes, 7), destination(bytes, 1);
    Measure(state, Key("MemcpyFloor", format, size), bytes,
            [&] { std::memcpy(destination.data(), source.data(), bytes); });
}

#ifdef AIK_PLANES_BENCH_OPENCV
// cvtColor (GenICam RG is OpenCV's BG) then split for Bayer; split alone for RGB8.
void BM_OpenCv(benchmark::State& state, uint32_t format, Size size) {
    cv::setNumThreads(1);
    Frame frame(format, size);
    const int rows = static_cast<int>(size.height), columns = static_cast<int>(size.width);
    const bool bayer = format != PVX_PIXEL_RGB8;
    const cv::Mat source(rows, columns, bayer ? CV_8UC1 : CV_8UC3, frame.source.data());
    cv::Mat packed(rows, columns, CV_8UC3);
    std::vector<cv::Mat> planes = {cv::Mat(rows, columns, CV_8UC1, frame.Blue()),
                                   cv::Mat(rows, columns, CV_8UC1, frame.Green()),
                                   cv::Mat(rows, columns, CV_8UC1, frame.Red())};
    Measure(state, Key("OpenCv", format, size), frame.source.size(), [&] {
        if (bayer) {
            cv::cvtColor(source, packed, cv::COLOR_BayerBG2BGR);
            cv::split(packed, planes);
        } else {
            cv::split(source, planes);
        }
    });
    if (planes[0].data != frame.Blue())
        state.SkipWithError("cv::split allocated its own planes");
}
#endif

double Ratio(const std::string& numerator, const std::string& denominator) {
    const auto& medians = Medians();
    const auto top = medians.find(numerator), bottom = medians.find(denominator);
    return top == medians.end() || bottom == medians.end() || bottom->second == 0
               ? 0
               : top->second / bottom->second;
}

void PrintRatios() {
    std::printf("\nmedians in microseconds; ratios of medians (0: not measured)\n");
    for (const Size size : kSizes) {
        for (const uint32_t format : {PVX_PIXEL_BAYER_RG8, PVX_PIXEL_RGB8}) {
            const auto key = [&](const char* what) { return Key(what, format, size); };
            const auto median = [&](const char* what) {
                const auto found = Medians().find(key(what));
                return found == Medians().end() ? 0.0 : found->second;
            };
            std::printf("%s/%s: pvxConvertToPlanes %.0f, OpenCV %.0f, memcpy floor %.0f\n",
                        format == PVX_PIXEL_RGB8 ? "RGB8" : "BayerRG8", size.Name().c_str(),
                        median("ConvertToPlanes"), median("OpenCv"), median("MemcpyFloor"));
            std::printf("    OpenCV / convert %.2f, convert / memcpy floor %.2f\n",
                        Ratio(key("OpenCv"), key("ConvertToPlanes")),
                        Ratio(key("ConvertToPlanes"), key("MemcpyFloor")));
            for (const NamedKernel& kernel : kKernels) {
                if (median(kernel.name) != 0) {
                    std::printf("    %s kernel %.0f: OpenCV / kernel %.2f, kernel / memcpy floor %.2f\n",
                                kernel.name, median(kernel.name), Ratio(key("OpenCv"), key(kernel.name)),
                                Ratio(key(kernel.name), key("MemcpyFloor")));
                }
            }
        }
    }
}

} // namespace

// Each image's conversion directly beside its references.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The access library in the process, as under the adapter: the utility library's
    // entry gate is then one call, not a look-up of that library on every conversion.
    pvxSimResetCallCounts();
    for (const Size size : kSizes) {
        for (const uint32_t format : {PVX_PIXEL_BAYER_RG8, PVX_PIXEL_RGB8}) {
            std::vector<benchmark::internal::Benchmark*> registered = {
                benchmark::RegisterBenchmark(Key("BM_ConvertToPlanes", format, size).c_str(),
                                             BM_ConvertToPlanes, format, size),
                benchmark::RegisterBenchmark(Key("BM_MemcpyFloor", format, size).c_str(), BM_MemcpyFloor,
                                             format, size)};
            for (const NamedKernel& kernel : kKernels) {
                if (camlib::IsKernelUsable(kernel.kernel)) {
                    registered.push_back(benchmark::RegisterBenchmark(
                        Key((std::string("BM_Kernel") + kernel.name).c_str(), format, size).c_str(),
                        BM_Kernel, kernel, format, size));
                }
            }
#ifdef AIK_PLANES_BENCH_OPENCV
            registered.push_back(benchmark::RegisterBenchmark(Key("BM_OpenCv", format, size).c_str(),
                                                              BM_OpenCv, format, size));
#endif
            for (benchmark::internal::Benchmark* entry : registered)
                entry->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
