// Every camera-library call of a whole host session, failed in turn: once (a
// transient fault) and from then on (a camera unplugged). Whatever fails, each slot
// answers as documented, the session ends in time, and the next one works.
#include "host/loader/video_module.h"
#include "sim/sim_control.h"
#include "tests/support/figures.h"
#include "tests/support/sim_json.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace aiktest {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr PvxStatus kUnplugged = 19; // CAMERA NOT RESPONDING

// A slot's answer: 0, or 1 with a message (the feature index query alone fails
// silently past the list).
void expectAnswer(const aikhost::SlotResult& result, const char* slot, bool messageDocumented = true) {
    EXPECT_TRUE(result.rc == 0 || result.rc == 1) << slot << " answered " << result.rc;
    if (result.rc == 1 && messageDocumented) {
        EXPECT_FALSE(result.errText.empty()) << slot << " failed without a message";
    }
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
    const aikhost::SlotResult release = channel.releaseVideoChannel();
    EXPECT_EQ(release.rc, 0);
    return ok;
}

class FaultSweepTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("aik-sweep-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        nlohmann::json camera = cameraJson("Quorvex", "QX-SWEEP", "fault sweep", 64, 32);
        camera["frameRate"] = 1000;
        std::ofstream(m_folder / "cameras.json") << simConfigJson({camera}).dump();
        ::setenv("QUORVEX_SIM_CONFIG", (m_folder / "cameras.json").string().c_str(), 1);
    }
    void TearDown() override {
        pvxSimFailCalls(0, 0, 0);
        ::unsetenv("QUORVEX_SIM_CONFIG");
        fs::remove_all(m_folder);
    }
    fs::path m_folder;
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
        for (uint64_t k = 1; k <= positions; ++k) {
            SCOPED_TRACE((count == 1 ? "transient fault at call " : "persistent fault from call ") +
                         std::to_string(k));
            pvxSimResetCallCounts();
            pvxSimFailCalls(k, count, kUnplugged);
            const auto start = Clock::now();
            failedSessions += !runSession(module);
            EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
            pvxSimFailCalls(0, 0, 0);
            pvxSimCloseAll(); // the camera plugged in again
            ASSERT_TRUE(runSession(module)) << "the next session failed";
            if (::testing::Test::HasFailure())
                return;
        }
    }
    reportFigure("fault sweep: " + std::to_string(positions) +
                 " library call positions, each failed once and for good; " + std::to_string(failedSessions) +
                 " of " + std::to_string(2 * positions) + " sessions saw the failure, every slot answered");
}

} // namespace
} // namespace aiktest
