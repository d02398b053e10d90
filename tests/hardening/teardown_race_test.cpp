// Teardown while the camera library's frame thread is busy: a release from another
// host thread while that thread is held inside its signal, a stop with images in
// flight, an unload with channels still streaming. Randomised timings, many rounds;
// a watchdog ends the process when any round hangs.
#include "host/loader/video_module.h"
#include "sim/sim_control.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace aiktest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kRoundLimit = std::chrono::seconds(5);

// Ends the process, naming the round, when a round outlasts kRoundLimit: a hang
// must fail the test rather than stall it.
class Watchdog {
public:
    Watchdog() : m_thread([this] { watch(); }) {}
    ~Watchdog() {
        m_done = true;
        m_thread.join();
    }
    void beginRound(int round) {
        m_round = round;
        m_started = Clock::now().time_since_epoch().count();
    }

private:
    void watch() {
        while (!m_done) {
            const Clock::time_point started{Clock::duration(m_started.load())};
            if (m_started != 0 && Clock::now() - started > kRoundLimit) {
                std::fprintf(stderr, "round %d hung for more than 5 s\n", m_round.load());
                std::abort();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    std::atomic<bool> m_done{false};
    std::atomic<int> m_round{0};
    std::atomic<Clock::rep> m_started{0};
    std::thread m_thread;
};

struct Streaming {
    aikhost::Enumeration enumeration;
    const aikhost::Channel& channel() const { return enumeration.channels.front(); }
};

// Enumerates, sets up and starts the one camera; takes a few images.
void startStreaming(const aikhost::VideoModule& module, Streaming& streaming, int images) {
    ASSERT_NO_FATAL_FAILURE(startOneCamera(module, streaming.enumeration, 64, 32));
    const aikhost::Channel& channel = streaming.channel();
    std::vector<uint8_t> buffer(64 * 32);
    for (int waits = 0, got = 0; got < images && waits < 1000; ++waits) {
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
            got += channel.getImage(buffer.data()).acqResult == AIK_ACQ_DONE;
    }
}

struct RaceCase {
    const char* name;
    int rounds;
    // One round; random gives its timings.
    void (*round)(const aikhost::VideoModule* module, std::mt19937& random);
};

// The host's image thread stops calling; another host thread releases while the frame
// thread sits inside a signal for up to 20 ms.
void releaseFromAnotherThread(const aikhost::VideoModule* module, std::mt19937& random) {
    Streaming streaming;
    ASSERT_NO_FATAL_FAILURE(startStreaming(*module, streaming, 2));
    pvxSimHoldInSignal(std::uniform_int_distribution<uint32_t>(1, 20)(random));
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(random)));
    int32_t released = -1;
    std::thread([&] { released = streaming.channel().releaseVideoChannel().rc; }).join();
    pvxSimHoldInSignal(0);
    EXPECT_EQ(released, 0);
}

// Stop while images keep arriving every millisecond, then release.
void stopWithImagesInFlight(const aikhost::VideoModule* module, std::mt19937& random) {
    Streaming streaming;
    ASSERT_NO_FATAL_FAILURE(
        startStreaming(*module, streaming, std::uniform_int_distribution<int>(0, 3)(random)));
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random)));
    EXPECT_EQ(streaming.channel().stopAcquisition().rc, 0);
    EXPECT_EQ(streaming.channel().releaseVideoChannel().rc, 0);
}

// The host unloads the module with its channel streaming and never released. The
// module leaves the camera to its library at unload; this process holds the library,
// so the cameras are closed here as the library's own unload would.
void unloadWhileStreaming(const aikhost::VideoModule*, std::mt19937& random) {
    {
        aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
        Streaming streaming;
        ASSERT_NO_FATAL_FAILURE(
            startStreaming(module, streaming, std::uniform_int_distribution<int>(0, 3)(random)));
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(random)));
    }
    pvxSimCloseAll();
}

const RaceCase kRaceCases[] = {
    {"ReleaseFromAnotherThreadWhileTheFrameThreadSignals", 300, releaseFromAnotherThread},
    {"StopWithImagesInFlight", 1000, stopWithImagesInFlight},
    {"UnloadWithChannelsStreaming", 300, unloadWhileStreaming},
};

class TeardownRaceTest : public ::testing::TestWithParam<RaceCase> {
protected:
    OneSimulatedCamera m_camera{"teardown"};
};

// Catches a hang, a crash or a sanitizer report when teardown meets the frame thread.
TEST_P(TeardownRaceTest, EveryRoundEndsInTime) {
    const RaceCase& race = GetParam();
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    std::mt19937 random(2026);
    Watchdog watchdog;
    const auto start = Clock::now();
    for (int round = 1; round <= race.rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        watchdog.beginRound(round);
        race.round(&module, random);
        if (::testing::Test::HasFailure())
            return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    char figure[160];
    std::snprintf(figure, sizeof figure, "teardown races: %s, %d randomised rounds in %.1f s, none hung",
                  race.name, race.rounds, seconds);
    reportFigure(figure);
}

INSTANTIATE_TEST_SUITE_P(Races, TeardownRaceTest, ::testing::ValuesIn(kRaceCases), CaseName());

} // namespace
} // namespace aiktest
