// A host that loads the module, streams and unloads it again, over and over: nothing
// may accumulate (descriptors, threads, memory) and the camera library must leave the
// process with the module, taking any camera state with it.
#include "host/loader/video_module.h"
#include "tests/hardening/process_census.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace aiktest {
namespace {

// One host session: enumerate, set up, start, 50 images, stop, release.
void runSession(const aikhost::VideoModule& module) {
    aikhost::Enumeration enumeration;
    ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
    const aikhost::Channel& channel = enumeration.channels.front();
    std::vector<uint8_t> buffer(64 * 32);
    int images = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (images < 50 && std::chrono::steady_clock::now() < deadline) {
        if (channel.waitForIntegration().acqResult != AIK_ACQ_DONE)
            continue;
        const aikhost::AcquisitionResult image = channel.getImage(buffer.data());
        images += image.rc == 0 && image.acqResult == AIK_ACQ_DONE;
    }
    ASSERT_EQ(images, 50) << "a session that loses its images ends the cycles";
    EXPECT_EQ(channel.stopAcquisition().rc, 0);
    EXPECT_EQ(channel.releaseVideoChannel().rc, 0);
}

// Catches descriptors, threads or memory left behind by a session or an unload, and a
// camera library that stays mapped after the module is gone.
TEST(LifecycleTest, LoadStreamUnloadCyclesLeaveNothingBehind) {
    const OneSimulatedCamera camera("lifecycle");

    // Wine's loader is slower; fewer cycles there still show a per-cycle leak.
#ifdef _WIN32
    constexpr int kCycles = 50;
#else
    constexpr int kCycles = 200;
#endif
    std::size_t descriptors = 0, threads = 0;
    long residentAtTen = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        {
            aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
            ASSERT_NO_FATAL_FAILURE(runSession(module));
        }
        ASSERT_FALSE(libraryLoaded("QuorvexApi64")) << "after cycle " << cycle;
        if (cycle == 1) {
            descriptors = openHandles();
            threads = threadCount();
        }
        EXPECT_EQ(openHandles(), descriptors) << "after cycle " << cycle;
        EXPECT_EQ(threadCount(), threads) << "after cycle " << cycle;
        if (cycle == 10)
            residentAtTen = residentKiB();
    }
    const long growth = residentKiB() - residentAtTen;
    reportFigure("lifecycle: " + std::to_string(kCycles) + " load-stream-unload cycles, resident memory +" +
                 std::to_string(growth) + " KiB over cycles 10 to " + std::to_string(kCycles));
// The sanitizers' own bookkeeping grows by design, and so does wine's working set.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(_WIN32)
    EXPECT_LT(growth, 64);
#endif
}

} // namespace
} // namespace aiktest
