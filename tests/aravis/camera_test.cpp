// The module on a GenICam camera through Aravis: enumeration and information, the
// aligned region, exposure/contrast/brightness fractions, trigger, features as text.
#include "tests/aravis/aravis_fixture.h"

#include <cstdlib>

namespace aiktest {
namespace {

#define OPEN_OR_RETURN(backend)                                                                              \
    ASSERT_NO_FATAL_FAILURE(openCamera(backend));                                                            \
    if (IsSkipped())                                                                                         \
    return

class AravisCameraTest : public AravisFixture, public ::testing::WithParamInterface<Backend> {};

// Catches a vendor, model or description text taken from the wrong node, or the
// sensor size and exposure range read from the wrong place.
TEST_P(AravisCameraTest, ChannelDescribesTheCamera) {
    OPEN_OR_RETURN(GetParam());
    EXPECT_EQ(channel().name(), "Aravis Fake(AIK)");
    EXPECT_EQ(channel().description(), "none"); // DeviceManufacturerInfo
    EXPECT_EQ(channel().record().sensorWidth, 2048u);
    EXPECT_EQ(channel().record().sensorHeight, 2048u);
    EXPECT_DOUBLE_EQ(channel().record().exposure, 0.01);
    EXPECT_DOUBLE_EQ(channel().record().minExposure, 10e-6);
}

struct RegionCase {
    int32_t x, y, width, height;
    int32_t camX, camY, camWidth, camHeight, roix, roiy;
};

// Offset steps 8 and 2, width step 16 from 16, height step 2 from 2, sensor 2048.
const RegionCase kRegions[] = {
    {13, 7, 100, 50, 8, 6, 112, 52, 5, 1},      // aligned down, far edge covered
    {2043, 0, 5, 2, 2032, 0, 16, 2, 11, 0},     // moved back from the right edge
    {64, 32, 320, 240, 64, 32, 320, 240, 0, 0}, // programmed exactly
    {0, 0, 2048, 2048, 0, 0, 2048, 2048, 0, 0}, // whole sensor
};

// Catches increments or limits misread from Aravis, or a window the camera does not
// end up holding (the read-back of OffsetX, Width... must match what the host is told).
TEST_P(AravisCameraTest, RegionIsAlignedToTheCameraSteps) {
    OPEN_OR_RETURN(GetParam());
    for (const RegionCase& c : kRegions) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        aikhost::SlotResult setup = channel().setupCommonParams(FakeParams(c.x, c.y, c.width, c.height));
        ASSERT_EQ(setup.rc, 0) << setup.errText;
        aikhost::ImageAttributesResult result = channel().getImageAttributes();
        ASSERT_EQ(result.rc, 0) << result.errText;
        EXPECT_EQ(result.attributes.width, c.camWidth);
        EXPECT_EQ(result.attributes.height, c.camHeight);
        EXPECT_EQ(result.attributes.roix, c.roix);
        EXPECT_EQ(result.attributes.roiy, c.roiy);
        EXPECT_EQ(result.attributes.roiwidth, c.width);
        EXPECT_EQ(read("OffsetX"), std::to_string(c.camX));
        EXPECT_EQ(read("OffsetY"), std::to_string(c.camY));
        EXPECT_EQ(read("Width"), std::to_string(c.camWidth));
        EXPECT_EQ(read("Height"), std::to_string(c.camHeight));
    }
}

struct ValueCase {
    double exposure, contrast, brightness;
    // ExposureTimeAbs in µs, Gain (0..24), BlackLevel (0..100).
    double exposureUs, gain, blackLevel;
};

const ValueCase kValues[] = {
    {0.02, 0.5, 0.25, 20000, 12, 25},
    {0.0, 1.0, 0.0, 10, 24, 0}, // 0 s selects the camera's minimum
    {0.001, 0.0, 1.0, 1000, 0, 100},
};

// Catches seconds not turned into µs, fractions not mapped onto the node's range
// (contrast onto Gain, brightness onto BlackLevel) or limits read from other nodes.
TEST_P(AravisCameraTest, HostValuesReachTheirNodes) {
    OPEN_OR_RETURN(GetParam());
    for (const ValueCase& c : kValues) {
        SCOPED_TRACE(c.exposure);
        CommonParamsRecord params = FakeParams(0, 0, 512, 512);
        params.exposure = c.exposure;
        params.contrast = c.contrast;
        params.brightness = c.brightness;
        aikhost::SlotResult setup = channel().setupCommonParams(params);
        ASSERT_EQ(setup.rc, 0) << setup.errText;
        EXPECT_NEAR(std::atof(read("ExposureTimeAbs").c_str()), c.exposureUs, 1);
        EXPECT_NEAR(std::atof(read("Gain").c_str()), c.gain, 1e-3);
        EXPECT_NEAR(std::atof(read("BlackLevel").c_str()), c.blackLevel, 1e-3);
    }
    if (GetParam() == Backend::Gige) {
        // What the camera holds after the last case, seen by another GenICam client.
        const ValueCase& last = kValues[std::size(kValues) - 1];
        std::map<std::string, double> held = arvToolValues("ExposureTimeAbs Gain BlackLevel");
        EXPECT_EQ(held["ExposureTimeAbs"], last.exposureUs);
        EXPECT_EQ(held["Gain"], last.gain);
        EXPECT_EQ(held["BlackLevel"], last.blackLevel);
        EXPECT_EQ(held.size(), 3u) << "arv-tool-0.8 (package aravis-tools-cli) could not read the camera";
    }
}

struct TriggerCase {
    int32_t triggered, lowToHigh;
    const char* mode;
    const char* activation;
};

const TriggerCase kTriggers[] = {
    {1, 0, "On", "FallingEdge"},
    {1, 1, "On", "RisingEdge"},
    {0, 1, "Off", "RisingEdge"},
};

// Catches the trigger mode or polarity bit not reaching TriggerMode/TriggerActivation.
TEST_P(AravisCameraTest, TriggerSettingsReachTheCamera) {
    OPEN_OR_RETURN(GetParam());
    for (const TriggerCase& c : kTriggers) {
        SCOPED_TRACE(c.activation);
        CommonParamsRecord params = FakeParams(0, 0, 512, 512);
        params.acqTriggered = c.triggered;
        params.acqTriggerLowToHigh = c.lowToHigh;
        aikhost::SlotResult setup = channel().setupCommonParams(params);
        ASSERT_EQ(setup.rc, 0) << setup.errText;
        EXPECT_EQ(read("TriggerMode"), c.mode);
        EXPECT_EQ(read("TriggerActivation"), c.activation);
    }
}

class AravisGigeTest : public AravisFixture {};

// Catches a triggered camera that streams anyway, or a software trigger that never
// yields an image. The emulator only: Aravis's in-process fake camera streams on in
// trigger mode.
TEST_F(AravisGigeTest, SoftwareTriggerYieldsOneImage) {
    OPEN_OR_RETURN(Backend::Gige);
    CommonParamsRecord params = FakeParams(0, 0, 64, 64);
    params.acqTriggered = 1;
    params.acqTriggerLowToHigh = 1;
    ASSERT_EQ(channel().setupCommonParams(params).rc, 0);
    write("TriggerSource", "Software");
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    EXPECT_FALSE(waitForImage(300));
    EXPECT_EQ(channel().executeCommand("TriggerSoftware").rc, 0);
    EXPECT_TRUE(waitForImage());
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

enum class Op { Read, Write, WriteRefused, ReadRefused, ValidEnum, Execute };
struct FeatureStep {
    Op op;
    const char* feature;
    const char* value; // written, or expected (nullptr: not compared)
    int32_t index;     // ValidEnum; -1: the index must be refused
};

// In order: writes are read back by the steps after them.
const FeatureStep kFeatureSteps[] = {
    {Op::Read, "DeviceVendorName", "Aravis", 0},
    {Op::Read, "PixelFormat", "Mono8", 0},
    {Op::ValidEnum, "PixelFormat", "BayerBG8", 0}, // document order, not Aravis's reversed one
    {Op::ValidEnum, "PixelFormat", "Mono16", 6},
    {Op::Write, "PixelFormat", "BayerRG8", 0},
    {Op::Read, "PixelFormat", "BayerRG8", 0},
    {Op::ValidEnum, "LineSelector", "Line0", 0},
    {Op::ValidEnum, "LineSelector", "Line2", 1}, // Line1 is not available
    {Op::ValidEnum, "LineSelector", nullptr, -1},
    {Op::Read, "TimerDelay_Max", "1000.000", 0},
    {Op::Write, "TimerDelay", "12.5", 0},
    {Op::Read, "TimerDelay", "12.500", 0},
    // Just out of range: refused with "smaller"/"greater", nudged once, accepted.
    {Op::Write, "TimerDelay", "1000.0004", 0},
    {Op::Read, "TimerDelay", "999.999", 0},
    {Op::Write, "TimerDelay", "-0.0004", 0},
    {Op::Read, "TimerDelay", "0.001", 0},
    {Op::WriteRefused, "TimerDelay", "2000", 0},
    {Op::Read, "TimerDelay", "0.001", 0},
    {Op::WriteRefused, "SensorWidth", "100", 0},
    {Op::WriteRefused, "AcquisitionFrameInterval", "5", 0}, // locked
    {Op::ReadRefused, "TimerDuration", nullptr, 0},         // write-only
    {Op::Write, "TimerDuration", "5", 0},
    {Op::ReadRefused, "Gamma", nullptr, 0},        // not implemented
    {Op::ReadRefused, "TriggerDelay", nullptr, 0}, // not available
    {Op::Write, "DeviceUserID", "line-7", 0},
    {Op::Read, "DeviceUserID", "line-7", 0},
    {Op::Execute, "TriggerSoftware", nullptr, 0},
};

// Catches wrong access modes (NI, NA, WO, locked), range checks left to Aravis (which
// writes silently), an enumeration in reversed order or with unavailable entries,
// and lost float precision.
TEST_P(AravisCameraTest, FeaturesAsText) {
    OPEN_OR_RETURN(GetParam());
    for (const FeatureStep& step : kFeatureSteps) {
        SCOPED_TRACE(std::string(step.feature) + (step.value ? std::string(" ") + step.value : ""));
        switch (step.op) {
        case Op::Read:
            EXPECT_EQ(read(step.feature), step.value);
            break;
        case Op::Write:
            write(step.feature, step.value);
            break;
        case Op::WriteRefused:
            EXPECT_EQ(channel().writeValue(step.feature, step.value).rc, 1);
            break;
        case Op::ReadRefused:
            EXPECT_EQ(channel().readValue(step.feature).rc, 1);
            break;
        case Op::ValidEnum: {
            aikhost::TextResult entry = channel().getValidEnum(step.feature, step.index < 0 ? 2 : step.index);
            EXPECT_EQ(entry.rc, step.index < 0 ? 1 : 0) << entry.errText;
            if (step.value) {
                EXPECT_EQ(entry.text, step.value);
            }
            break;
        }
        case Op::Execute:
            EXPECT_EQ(channel().executeCommand(step.feature).rc, 0);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Aravis, AravisCameraTest, ::testing::ValuesIn(kBackends),
                         [](const ::testing::TestParamInfo<Backend>& tested) {
                             return BackendName(tested.param);
                         });

} // namespace
} // namespace aiktest
