// Teardown while the camera library's frame thread is busy: a release from another
// host thread while that thread is held inside its signal, a stop with images in
// flight, an unload with channels still streaming. Randomised timings, many rounds;
// an alarm ends the process when any round hangs.
#include "host/loader/video_module.h"
#include "sim/sim_control.h"
#include "tests/hardening/take_images.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include <unistd.h>

namespace aiktest {
namespace {

using Clock = std::chrono::steady_clock;

// Written before each round: what a round that hangs tells as it ends the process.
char g_hangText[64];

// Ends the process when a round outlasts its alarm: a hang must fail the test rather
// than stall it.
void onHang(int) {
    (void)!write(STDERR_FILENO, g_hangText, std::strlen(g_hangText));
    std::abort();
}

int upTo(std::mt19937& random, int most) {
    return std::uniform_int_distribution<int>(0, most)(random);
}

void sleepUpTo(std::mt19937& random, int microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(upTo(random, microseconds)));
}

// Enumerates, sets up and starts the one camera; takes a few images.
void startStreaming(const aikhost::VideoModule& module, aikhost::Enumeration& enumeration, int images) {
    ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
    takeImages(enumeration.channels.front(), images, 1000);
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
    aikhost::Enumeration streaming;
    ASSERT_NO_FATAL_FAILURE(startStreaming(*module, streaming, 2));
    pvxSimHoldInSignal(static_cast<uint32_t>(1 + upTo(random, 19)));
    sleepUpTo(random, 2000);
    int32_t released = -1;
    std::thread([&] { released = streaming.channels.front().releaseVideoChannel().rc; }).join();
    pvxSimHoldInSignal(0);
    EXPECT_EQ(released, 0);
}

// Stop while images keep arriving every millisecond, then release.
void stopWithImagesInFlight(const aikhost::VideoModule* module, std::mt19937& random) {
    aikhost::Enumeration streaming;
    ASSERT_NO_FATAL_FAILURE(startStreaming(*module, streaming, upTo(random, 3)));
    sleepUpTo(random, 3000);
    EXPECT_EQ(streaming.channels.front().stopAcquisition().rc, 0);
    EXPECT_EQ(streaming.channels.front().releaseVideoChannel().rc, 0);
}

// The host unloads the module with its channel streaming and never released. The
// module leaves the camera to its library at unload; this process holds the library,
// so the cameras are closed here as the library's own unload would.
void unloadWhileStreaming(const aikhost::VideoModule*, std::mt19937& random) {
    {
        aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
        aikhost::Enumeration streaming;
        ASSERT_NO_FATAL_FAILURE(startStreaming(module, streaming, upTo(random, 3)));
        sleepUpTo(random, 2000);
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
    std::signal(SIGALRM, onHang);
    const auto start = Clock::now();
    for (int round = 1; round <= race.rounds && !::testing::Test::HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::snprintf(g_hangText, sizeof g_hangText, "round %d hung for more than 5 s\n", round);
        alarm(5);
        race.round(&module, random);
    }
    alarm(0);
    if (::testing::Test::HasFailure())
        return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    char figure[160];
    std::snprintf(figure, sizeof figure, "teardown races: %s, %d randomised rounds in %.1f s, none hung",
                  race.name, race.rounds, seconds);
    reportFigure(figure);
}

INSTANTIATE_TEST_SUITE_P(Races, TeardownRaceTest, ::testing::ValuesIn(kRaceCases), CaseName());

} // namespace
} // namespace aiktest
