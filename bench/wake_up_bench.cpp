// Wake-up latency: from the frame event's signal to WaitForIntegration returning,
// beside a bare eventfd + poll wake-up measured in the same run. The signal comes
// from another thread of this program at a known time, or from the simulator's
// generator, whose completion time the image record carries.
#include "bench/library_probe.h"
#include "bench/percentile.h"
#include "bench/sim_module.h"

#include <benchmark/benchmark.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSignals = 3000;
constexpr int kGeneratorImages = 2000;
// How long the signalling thread lets the waiter block before it signals.
constexpr auto kBlockedFor = std::chrono::microseconds(200);

// Channel 0 waits for triggers that never come, so only this program signals it;
// channel 1 runs free, small and fast.
constexpr const char* kCameras = R"({"cameras": [
  {"model": "W-TRIGGERED", "sensorWidth": 64, "sensorHeight": 48, "pixelFormat": "Mono8"},
  {"model": "W-FREE", "sensorWidth": 64, "sensorHeight": 48, "pixelFormat": "Mono8", "frameRate": 500}
]})";

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Signals fd whenever the waiter has announced a wait, after letting it block, and
// publishes when it signalled.
class Signaller {
public:
    explicit Signaller(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~Signaller() {
        m_stop = true;
        m_thread.join();
    }
    Signaller(const Signaller&) = delete;
    Signaller& operator=(const Signaller&) = delete;

    void arm() { m_armed.store(true, std::memory_order_release); }
    Clock::time_point signalledAt() const { return m_signalledAt.load(std::memory_order_acquire); }

private:
    void run() {
        while (!m_stop) {
            if (!m_armed.exchange(false, std::memory_order_acq_rel)) {
                std::this_thread::yield();
                continue;
            }
            std::this_thread::sleep_for(kBlockedFor);
            const uint64_t one = 1;
            m_signalledAt.store(Clock::now(), std::memory_order_release);
            [[maybe_unused]] const ssize_t written = write(m_fd, &one, sizeof one);
        }
    }

    const int m_fd;
    std::atomic<bool> m_armed{false};
    std::atomic<bool> m_stop{false};
    std::atomic<Clock::time_point> m_signalledAt{};
    std::thread m_thread;
};

void Report(benchmark::State& state, std::vector<double>& samples) {
    aikbench::ReportPercentiles(state, samples);
}

// The floor: poll on an eventfd, then read it, as the module's wait does.
void BM_WakeUp_BareEventfd(benchmark::State& state) {
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::vector<double> samples;
    {
        Signaller signaller(fd);
        for (auto _ : state) {
            signaller.arm();
            pollfd pfd{fd, POLLIN, 0};
            uint64_t count = 0;
            if (poll(&pfd, 1, 1000) != 1 || read(fd, &count, sizeof count) != sizeof count) {
                state.SkipWithError("no wake-up");
                break;
            }
            samples.push_back(MicrosecondsSince(signaller.signalledAt()));
            state.SetIterationTime(samples.back() / 1e6);
        }
    }
    close(fd);
    Report(state, samples);
}

// The module's frame event signalled by another thread, as the camera library does.
void BM_WakeUp_WaitForIntegration(benchmark::State& state) {
    const aikhost::Channel& channel = aikbench::openSimCameras(kCameras, 2).channels.at(0);
    const VideoChannelRecord& record = channel.record();
    std::string why;
    if (!aikbench::startChannel(channel, true, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    std::vector<double> samples;
    {
        Signaller signaller(static_cast<int>(aikbench::LastFrameEvent()));
        char errText[256] = {};
        for (auto _ : state) {
            signaller.arm();
            uint32_t acqResult = 0;
            if (record.WaitForIntegration(errText, record.channelID, &acqResult) != 0 || acqResult != 0) {
                state.SkipWithError("the signal did not arrive within the wait");
                break;
            }
            samples.push_back(MicrosecondsSince(signaller.signalledAt()));
            state.SetIterationTime(samples.back() / 1e6);
        }
    }
    channel.stopAcquisition();
    Report(state, samples);
}

// The generator's own signal: from an image's completion (microsecond resolution) to
// WaitForIntegration returning, polling as a host does. An image completed while the
// host was in GetImage counts from its completion too, as the host sees it.
void BM_WakeUp_Generator(benchmark::State& state) {
    const aikhost::Channel& channel = aikbench::openSimCameras(kCameras, 2).channels.at(1);
    const VideoChannelRecord& record = channel.record();
    std::string why;
    if (!aikbench::startChannel(channel, false, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    std::vector<uint8_t> image(64 * 48);
    std::vector<double> samples;
    int64_t emptySignals = 0;
    char errText[256] = {};
    for (auto _ : state) {
        // A signal whose image an earlier GetImage took already delivers nothing;
        // the wait for the next image is measured instead.
        for (;;) {
            uint32_t acqResult = AIK_ACQ_TIMEOUT;
            while (acqResult != AIK_ACQ_DONE)
                record.WaitForIntegration(errText, record.channelID, &acqResult);
            const auto woken = Clock::now();
            if (record.GetImage(errText, record.channelID, image.data(), &acqResult) == 0) {
                const auto completed =
                    Clock::time_point(std::chrono::microseconds(aikbench::LastLockedTimestamp()));
                samples.push_back(std::chrono::duration<double, std::micro>(woken - completed).count());
                break;
            }
            ++emptySignals;
        }
        state.SetIterationTime(samples.back() / 1e6);
    }
    state.counters["empty_signals"] = static_cast<double>(emptySignals);
    channel.stopAcquisition();
    Report(state, samples);
}

BENCHMARK(BM_WakeUp_BareEventfd)->UseManualTime()->Iterations(kSignals)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WakeUp_WaitForIntegration)->UseManualTime()->Iterations(kSignals)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WakeUp_Generator)->UseManualTime()->Iterations(kGeneratorImages)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
