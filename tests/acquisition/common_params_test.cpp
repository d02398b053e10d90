// SetupCommonParams as the host sees it: the values the camera receives, which
// settings are sent again, the trigger-polarity word, and the step that fails.
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/support/case_name.h"
#include "tests/support/sdk_log.h"

#include "sim/sim_control.h"

#include <algorithm>

namespace aiktest {
namespace {

class CommonParamsTest : public AcquisitionFixture {
protected:
    // Two cameras: the settings go to channel 1, whose record GetVideoChannel(1)
    // refills from the camera without enumerating again.
    void openWith(const nlohmann::json& camera) { openCameras({gridCamera(640, 480), camera}); }
    VideoChannelRecord readBack() {
        aikhost::VideoChannelResult result = getVideoChannel(1);
        EXPECT_EQ(result.rc, 0) << result.errText;
        return result.record;
    }
};

// Catches fractions mapped without the range's lower end, exposure not converted to
// microseconds, brightness 0 sent as 0 rather than as the range's lower limit, and
// exposure 0 sent as 0 µs, or a minimum taken from the range cached at open instead
// of asked anew.
TEST_F(CommonParamsTest, HostValuesBecomeCameraValues) {
    nlohmann::json camera = gridCamera(640, 480);
    camera["contrast"] = rangeJson(10, 50, 30);
    camera["brightness"] = rangeJson(-10, 30, 10);
    camera["exposure"] = rangeJson(20, 1000000, 5000);
    openWith(camera);
    CommonParamsRecord params = regionParams(0, 0, 640, 480);
    params.exposure = 0.004;
    params.contrast = 0.25;
    params.brightness = 0;
    EXPECT_EQ(rcText(channel(1).setupCommonParams(params)), RcText(0, ""));
    const VideoChannelRecord record = readBack();
    EXPECT_DOUBLE_EQ(record.exposure, 0.004);
    EXPECT_DOUBLE_EQ(record.contrast, 0.25);
    EXPECT_DOUBLE_EQ(record.brightness, 0.0);

    params.exposure = 0;
    for (const int64_t sent : {1, 0}) {
        resetCalls();
        ASSERT_EQ(channel(1).setupCommonParams(params).rc, 0);
        EXPECT_EQ(calls("pvxGetExposureTimeRange"), 1);
        EXPECT_EQ(calls("pvxSetExposureTime"), sent);
        EXPECT_DOUBLE_EQ(readBack().exposure, 0.00002);
    }
}

struct CallsPerSetup {
    const char* operation;
    int64_t first, second;
};

// Catches unchanged exposure, contrast or brightness sent again, or the region,
// trigger mode, polarity or limits skipped when nothing changed.
TEST_F(CommonParamsTest, UnchangedSettingsAreNotSentAgain) {
    openWith(gridCamera(640, 480));
    const CallsPerSetup expected[] = {
        {"pvxSetRoi", 1, 1},
        {"pvxSetExposureTime", 1, 0},
        {"pvxSetContrast", 1, 0},
        {"pvxSetBrightness", 1, 0},
        {"pvxSetTriggerMode", 1, 1},
        {"pvxGetTriggerPolarity", 1, 1},
        {"pvxSetTriggerPolarity", 1, 1},
        {"pvxGetImageProperty", 1, 1},
    };
    const CommonParamsRecord params = regionParams(8, 4, 320, 240);
    for (int round = 0; round < 2; ++round) {
        resetCalls();
        aikhost::SlotResult setup = channel(1).setupCommonParams(params);
        ASSERT_EQ(setup.rc, 0) << setup.errText;
        for (const CallsPerSetup& e : expected)
            EXPECT_EQ(calls(e.operation), round == 0 ? e.first : e.second)
                << e.operation << " round " << round;
    }
}

// Catches a value cached although the camera refused it, so that it is never sent again.
TEST_F(CommonParamsTest, RefusedSettingIsSentAgainNextTime) {
    openWith(withFault(gridCamera(640, 480), "pvxSetContrast", PVX_ERR_BUSY, {{"times", 1}}));
    const CommonParamsRecord params = regionParams(0, 0, 640, 480);
    EXPECT_EQ(rcText(channel(1).setupCommonParams(params)), RcText(1, "BUSY."));
    resetCalls();
    EXPECT_EQ(rcText(channel(1).setupCommonParams(params)), RcText(0, ""));
    EXPECT_EQ(calls("pvxSetContrast"), 1);
}

struct FailingStep {
    const char* name;
    const char* call; // the refused library call
    uint32_t after;   // calls it lets through first (those made while opening)
    PvxStatus status;
    double exposure;
    const char* errText;
    const char* skipped; // a call of the next step, which must not be made
};
const FailingStep kFailingSteps[] = {
    {"Region", "pvxSetRoi", 0, PVX_ERR_BUSY, 0.005, "BUSY.", "pvxSetExposureTime"},
    {"Exposure", "pvxSetExposureTime", 0, PVX_ERR_NOT_WRITABLE, 0.005, "NOT WRITABLE.", "pvxSetContrast"},
    {"ExposureRangeAtZero", "pvxGetExposureTimeRange", 1, PVX_ERR_CAMERA_NOT_RESPONDING, 0,
     "CAMERA NOT RESPONDING.", "pvxSetExposureTime"},
    {"Contrast", "pvxSetContrast", 0, PVX_ERR_NOT_READABLE, 0.005, "NOT READABLE.", "pvxSetBrightness"},
    {"Brightness", "pvxSetBrightness", 0, PVX_ERR_NOT_IMPLEMENTED, 0.005, "NOT IMPLEMENTED.",
     "pvxSetTriggerMode"},
    {"TriggerMode", "pvxSetTriggerMode", 0, PVX_ERR_NOT_READY, 0.005, "NOT READY.", "pvxGetTriggerPolarity"},
    {"Limits", "pvxGetImageProperty", 1, PVX_ERR_GENICAM, 0.005, "GENICAM ERROR.", nullptr},
};

class FailingStepTest : public CommonParamsTest, public ::testing::WithParamInterface<FailingStep> {};

// Catches a failing step whose status is lost or replaced, a call that goes on
// after a failure, or a step that is not checked at all.
TEST_P(FailingStepTest, StepFailureEndsTheCallWithItsMessage) {
    const FailingStep& c = GetParam();
    openWith(withFault(gridCamera(640, 480), c.call, c.status, {{"after", c.after}}));
    CommonParamsRecord params = regionParams(0, 0, 640, 480);
    params.exposure = c.exposure;
    resetCalls();
    EXPECT_EQ(rcText(channel(1).setupCommonParams(params)), RcText(1, c.errText));
    if (c.skipped != nullptr) {
        EXPECT_EQ(calls(c.skipped), 0) << c.skipped;
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStepTest, ::testing::ValuesIn(kFailingSteps), CaseName());

struct PolarityCase {
    const char* name;
    uint32_t word; // what the camera holds
    int32_t lowToHigh;
    uint32_t written;
};
const PolarityCase kPolarityCases[] = {
    {"HighBitsClearedBitZeroCleared", 0x00010003, 0, 0x00000002},
    {"HighBitsClearedBitZeroSet", 0x00010003, 1, 0x00000003},
    {"OnlyBitZeroOfTheHostValueCounts", 0x00010003, 2, 0x00000002},
    {"SixteenBitMask", 0xFFFFFFFE, 1, 0x0000FFFF},
};

class PolarityTest : public CommonParamsTest, public ::testing::WithParamInterface<PolarityCase> {};

// Catches a 32-bit mask (bits 16 to 31 kept), bit 0 or-ed in rather than replaced,
// or more than bit 0 of the host's field used.
TEST_P(PolarityTest, WordKeepsBitsOneToFifteenAndTakesTheHostEdge) {
    const PolarityCase& c = GetParam();
    nlohmann::json camera = gridCamera(640, 480);
    camera["triggerPolarity"] = c.word;
    openWith(camera);
    CommonParamsRecord params = regionParams(0, 0, 640, 480);
    params.acqTriggered = 1;
    params.acqTriggerLowToHigh = c.lowToHigh;
    resetCalls();
    aikhost::SlotResult setup = channel(1).setupCommonParams(params);
    ASSERT_EQ(setup.rc, 0) << setup.errText;
    EXPECT_EQ(calls("pvxSetTriggerPolarity"), 1);
    uint64_t written = 0;
    ASSERT_EQ(pvxSimLastArguments("pvxSetTriggerPolarity", &written, 1), 1u);
    EXPECT_EQ(written, c.written);
}

INSTANTIATE_TEST_SUITE_P(Words, PolarityTest, ::testing::ValuesIn(kPolarityCases), CaseName());

// Catches a polarity failure that fails the call or writes a message (the camera still
// takes every other setting), and its WARN line missing, or written for a polarity taken.
TEST_F(CommonParamsTest, RefusedPolarityIsNotAFailureButAWarning) {
    const SdkLog log(folder());
    for (const char* call : {"pvxGetTriggerPolarity", "pvxSetTriggerPolarity", ""}) {
        openWith(*call ? withFault(gridCamera(640, 480), call, PVX_ERR_NOT_IMPLEMENTED)
                       : gridCamera(640, 480));
        resetCalls();
        const size_t before = log.lines().size();
        EXPECT_EQ(rcText(channel(1).setupCommonParams(regionParams(0, 0, 640, 480))), RcText(0, "")) << call;
        EXPECT_EQ(calls("pvxGetImageProperty"), 1) << call;
        const std::vector<std::string> lines = log.lines();
        const auto warnings = std::count(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(),
                                         "WARN|EXIT : SetupCommonParams, SetTriggerPolarity Err");
        EXPECT_EQ(warnings, *call ? 1 : 0) << call;
    }
}

} // namespace
} // namespace aiktest
