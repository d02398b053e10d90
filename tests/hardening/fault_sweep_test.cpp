// Every camera-library call of a whole host session, failed in turn: once (a
// transient fault) and from then on (a camera unplugged). Whatever fails, each slot
// answers as documented, the session ends in time, and the next one works.
#include "host/loader/video_module.h"
#include "sim/sim_control.h"
#include "tests/hardening/take_images.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#ifdef AIK_TEST_FAILING_ALLOCATOR
#include "tests/hardening/failing_allocator.h"
#endif

namespace aiktest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr PvxStatus kUnplugged = PVX_ERR_CAMERA_NOT_RESPONDING;

// A slot's answer: 0, or 1 with a message (the feature index query alone fails
// silently past the list).
void expectAnswer(const aikhost::SlotResult& result, const char* slot, bool messageDocumented = true) {
    EXPECT_TRUE(result.rc == 0 || result.rc == 1) << slot << " answered " << result.rc;
    EXPECT_TRUE(result.rc != 1 || !messageDocumented || !result.errText.empty())
        << slot << " failed without a message";
}

// One host session over the first channel; true when every step succeeded and the
// images arrived.
bool runSession(const aikhost::VideoModule& module) {
    bool ok = true;
    const aikhost::Enumeration enumeration = module.enumerate();
    if (enumeration.channels.empty())
        return false;
    const aikhost::Channel& channel = enumeration.channels.front();
    const auto step = [&](const aikhost::SlotResult& result, const char* slot,
                          bool messageDocumented = true) {
        expectAnswer(result, slot, messageDocumented);
        ok = ok && result.rc == 0;
    };
    step(channel.setupCommonParams(continuousParams(64, 32)), "SetupCommonParams");
    step(channel.getImageAttributes(), "GetImageAttributes");
    const aikhost::SlotResult start = channel.startAcquisition();
    step(start, "StartAcquisition");
    std::vector<uint8_t> buffer(64 * 32);
    // Images come every millisecond once started; a loaded machine may delay them.
    int images = 0, idle = start.rc == 0 ? 0 : 100;
    while (images < 5 && idle < 100) {
        const aikhost::AcquisitionResult wait = channel.waitForIntegration();
        step(wait, "WaitForIntegration");
        if (wait.acqResult != AIK_ACQ_DONE) {
            ++idle;
            continue;
        }
        const aikhost::AcquisitionResult image = channel.getImage(buffer.data());
        expectAnswer(image, "GetImage");
        // A wake-up by a signal whose image was taken already finds none: poll on.
        if (image.rc != 0 && (image.errText != "EMPTY COMPLETE QUEUE." || ++idle == 100))
            break;
        images += image.acqResult == AIK_ACQ_DONE;
    }
    ok = ok && images == 5;
    step(channel.writeValue("Gamma", "1.5"), "WriteValue");
    step(channel.readValue("Gamma"), "ReadValue");
    step(channel.readValue("ExposureTime_Max"), "ReadValue");
    step(channel.getFeatureName(1), "GetFeatureName", false);
    step(channel.getFeatureType("PixelFormat"), "GetFeatureType", false);
    step(channel.getValidEnum("PixelFormat", 0), "GetValidEnum", false);
    step(channel.executeCommand("TriggerSoftware"), "ExecuteCommand");
    step(channel.stopAcquisition(), "StopAcquisition");
    step(channel.releaseVideoChannel(), "ReleaseVideoChannel");
    return ok;
}

// Arms the fault at each position 1 to positions in turn with arm(k) for a session,
// then disarms it with arm(0) and plugs the camera in again for a session that must
// work. The sessions the fault failed, or -1 once the test has failed.
template <class Arm>
int sweep(const aikhost::VideoModule& module, uint64_t positions, const std::string& fault, Arm arm) {
    int failedSessions = 0;
    for (uint64_t k = 1; k <= positions; ++k) {
        SCOPED_TRACE(fault + std::to_string(k));
        pvxSimResetCallCounts();
        arm(k);
        const auto start = Clock::now();
        failedSessions += !runSession(module);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
        arm(0);
        pvxSimCloseAll(); // the camera plugged in again
        EXPECT_TRUE(runSession(module)) << "the next session failed";
        if (::testing::Test::HasFailure())
            return -1;
    }
    return failedSessions;
}

class FaultSweepTest : public ::testing::Test {
protected:
    void TearDown() override {
        pvxSimFailCalls(0, 0, PVX_OK);
        pvxSimThrowAtCall(0, 0);
        pvxSimThrowInFrames(0, 0);
    }
    OneSimulatedCamera m_camera{"sweep"};
};

// Catches a slot that crashes, hangs, answers outside its codes or without its
// message when any one library call fails, and state a failure leaves behind.
TEST_F(FaultSweepTest, EveryCallFailedOnceAndForGood) {
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    pvxSimResetCallCounts();
    ASSERT_TRUE(runSession(module));
    const uint64_t positions = pvxSimTotalCallCount();
    ASSERT_GT(positions, 50u);
    int failedSessions = 0;
    for (const uint64_t count : {uint64_t{1}, UINT64_MAX}) {
        const int failed =
            sweep(module, positions, count == 1 ? "transient fault at call " : "persistent fault from call ",
                  [count](uint64_t k) { pvxSimFailCalls(k, count, kUnplugged); });
        if (failed < 0)
            return;
        failedSessions += failed;
    }
    reportFigure("fault sweep: " + std::to_string(positions) +
                 " library call positions, each failed once and for good; " + std::to_string(failedSessions) +
                 " of " + std::to_string(2 * positions) + " sessions saw the failure, every slot answered");
}

// Catches an exception that a careless library lets out of its C functions reaching
// the host (std::terminate) or leaving the module's state half changed, at every call
// position: a std::bad_alloc, and an exception of a type nobody knows.
TEST_F(FaultSweepTest, EveryCallThrowsOutOfTheLibrary) {
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    pvxSimResetCallCounts();
    ASSERT_TRUE(runSession(module));
    const uint64_t positions = pvxSimTotalCallCount();
    for (const uint32_t kind : {PVX_SIM_THROW_BAD_ALLOC, PVX_SIM_THROW_FOREIGN}) {
        if (sweep(module, positions,
                  kind == PVX_SIM_THROW_BAD_ALLOC ? "std::bad_alloc out of call "
                                                  : "a foreign exception out of call ",
                  [kind](uint64_t k) { pvxSimThrowAtCall(k, kind); }) < 0)
            return;
    }
    reportFigure("exception barrier: " + std::to_string(positions) +
                 " library call positions, each throwing std::bad_alloc and a foreign exception; "
                 "every slot answered, std::terminate never reached");
}

// Catches an exception on the library's frame thread ending the process
// (std::terminate) or the stream: each image it hits is lost, and the next arrive.
TEST_F(FaultSweepTest, FrameThreadThrowsAndOnlyThatImageIsLost) {
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    aikhost::Enumeration enumeration;
    ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
    const aikhost::Channel& channel = enumeration.channels.front();
    constexpr uint64_t kThrown = 10;
    for (const uint32_t kind : {PVX_SIM_THROW_BAD_ALLOC, PVX_SIM_THROW_FOREIGN}) {
        pvxSimThrowInFrames(kThrown / 2, kind);
        takeImages(channel, 20, 2000);
    }
    uint64_t produced = 0, dropped = 0;
    ASSERT_EQ(pvxSimStreamCounters(0, &produced, &dropped), PVX_OK);
    EXPECT_EQ(dropped, kThrown);
    EXPECT_GE(produced, 40u);
    EXPECT_EQ(channel.stopAcquisition().rc, 0);
    EXPECT_EQ(channel.releaseVideoChannel().rc, 0);
}

// Catches an allocation failure in the module that escapes to the host, ends in
// std::terminate or leaves state that breaks the next session: every allocation the
// module's own code makes in a whole session fails in turn.
TEST_F(FaultSweepTest, EveryAllocationOfASessionFails) {
#ifndef AIK_TEST_FAILING_ALLOCATOR
    GTEST_SKIP() << "the sanitizers' operator new stands in for the failing one";
#else
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    CountAllocationsOf(reinterpret_cast<const void*>(module.entryPoint()));
    ASSERT_TRUE(runSession(module));
    const uint64_t before = AllocationCount();
    ASSERT_TRUE(runSession(module));
    const uint64_t allocations = AllocationCount() - before;
    ASSERT_GT(allocations, 20u);
    // Disarmed after each session, which must have met the failure.
    if (sweep(module, allocations, "failing allocation ", [](uint64_t n) {
            if (n == 0) {
                EXPECT_TRUE(AllocationFailed());
            }
            FailAllocation(n);
        }) < 0)
        return;
    reportFigure("allocation failures: " + std::to_string(allocations) +
                 " allocations of the module in a session, each failed in turn; every slot answered");
#endif
}

// Catches a wait that hangs or overruns its bound once the camera is gone, a release
// that fails after an unplug, and handles of the old camera used after it came back.
TEST_F(FaultSweepTest, UnplugMidStreamWhileWaitingOrCopying) {
    aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
    std::mt19937 random(7);
    for (int run = 0; run < 10; ++run) {
        const bool duringCopy = run % 2 == 1;
        const int unplugAt = std::uniform_int_distribution<int>(0, 199)(random);
        SCOPED_TRACE("unplugged after image " + std::to_string(unplugAt) +
                     (duringCopy ? " while copying" : " while waiting"));
        aikhost::Enumeration enumeration;
        ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
        const aikhost::Channel& channel = enumeration.channels.front();
        ASSERT_EQ(takeImages(channel, unplugAt, 20 * (unplugAt + 10)), unplugAt);
        std::vector<uint8_t> buffer(64 * 32);
        for (int waits = 0; duringCopy && waits < 200; ++waits) {
            if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
                break; // an image to copy when the camera goes
        }
        pvxSimFailCalls(pvxSimTotalCallCount() + 1, UINT64_MAX, kUnplugged);
        if (duringCopy)
            expectAnswer(channel.getImage(buffer.data()), "GetImage");
        for (int wait = 0; wait < 3; ++wait) {
            const auto start = Clock::now();
            expectAnswer(channel.waitForIntegration(), "WaitForIntegration");
            // The 10 ms bound, with slack for a loaded machine.
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(60));
        }
        expectAnswer(channel.stopAcquisition(), "StopAcquisition");
        EXPECT_EQ(channel.releaseVideoChannel().rc, 0);
        pvxSimFailCalls(0, 0, PVX_OK);
        pvxSimCloseAll(); // plugged in again
        ASSERT_TRUE(runSession(module)) << "the camera did not come back";
        if (::testing::Test::HasFailure())
            return;
    }
}

} // namespace
} // namespace aiktest
