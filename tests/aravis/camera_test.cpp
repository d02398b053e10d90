// The module on a GenICam camera through Aravis: enumeration and information, the
// aligned region, exposure/contrast/brightness fractions, trigger, features as text.
#include "tests/aravis/aravis_fixture.h"

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace aiktest {
namespace {

class AravisCameraTest : public AravisFixture, public ::testing::WithParamInterface<Backend> {};

// A host setup (exposure, contrast, brightness, continuous, triggered, polarity,
// region) and the nodes the camera then holds ("Node=value ..."); numbers compare as
// numbers.
struct SetupCase {
    CommonParamsRecord params;
    const char* nodes;
};

// Offset steps 8 and 2, width step 16 from 16, height step 2 from 2, sensor 2048.
// ExposureTimeAbs in µs, Gain 0..24 (contrast), BlackLevel 0..100 (brightness). The
// last case is also read back by another GenICam client.
const SetupCase kSetups[] = {
    // Aligned down, then back from the edge.
    {{{}, 0.01, 0, 0, 1, 0, 0, 13, 7, 100, 50}, "OffsetX=8 OffsetY=6 Width=112 Height=52"},
    {{{}, 0.01, 0, 0, 1, 0, 0, 2043, 0, 5, 2}, "OffsetX=2032 OffsetY=0 Width=16 Height=2"},
    {{{}, 0.01, 0, 0, 1, 0, 0, 64, 32, 320, 240}, "OffsetX=64 OffsetY=32 Width=320 Height=240"},
    {{{}, 0.01, 0, 0, 1, 0, 0, 0, 0, 2048, 2048}, "OffsetX=0 OffsetY=0 Width=2048 Height=2048"},
    {{{}, 0.01, 0, 0, 1, 1, 0, 0, 0, 512, 512}, "TriggerMode=On TriggerActivation=FallingEdge"},
    {{{}, 0.01, 0, 0, 1, 1, 1, 0, 0, 512, 512}, "TriggerMode=On TriggerActivation=RisingEdge"},
    {{{}, 0.01, 0, 0, 1, 0, 1, 0, 0, 512, 512}, "TriggerMode=Off TriggerActivation=RisingEdge"},
    {{{}, 0.02, 0.5, 0.25, 1, 0, 0, 0, 0, 512, 512}, "ExposureTimeAbs=20000 Gain=12 BlackLevel=25"},
    {{{}, 0.0, 1.0, 0.0, 1, 0, 0, 0, 0, 512, 512}, "ExposureTimeAbs=10 Gain=24 BlackLevel=0"}, // 0 s: minimum
    {{{}, 0.001, 0.0, 1.0, 1, 0, 0, 0, 0, 512, 512}, "ExposureTimeAbs=1000 Gain=0 BlackLevel=100"},
};

std::map<std::string, std::string> Nodes(const char* text) {
    std::map<std::string, std::string> nodes;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        nodes[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    return nodes;
}

void ExpectNode(const std::string& feature, const std::string& held, const std::string& expected) {
    char* end = nullptr;
    const double number = std::strtod(expected.c_str(), &end);
    if (*end == '\0') {
        EXPECT_NEAR(std::atof(held.c_str()), number, 1e-3 + 5e-5 * number) << feature;
    } else {
        EXPECT_EQ(held, expected) << feature;
    }
}

// Catches a vendor, model or description text taken from the wrong node, the sensor
// size and exposure range read from the wrong place, increments or limits misread from Aravis, a window the
// camera does not end up holding or the host is told wrongly, seconds not turned into µs, fractions not
// mapped onto the node's range or limits read from other nodes, and the trigger mode
// or polarity bit not reaching TriggerMode/TriggerActivation.
TEST_P(AravisCameraTest, ChannelAndSetupMatchTheCamera) {
    OPEN_OR_RETURN(GetParam());
    EXPECT_EQ(channel().name(), "Aravis Fake(AIK)");
    EXPECT_EQ(channel().description(), "none"); // DeviceManufacturerInfo
    EXPECT_EQ(channel().record().sensorWidth, 2048u);
    EXPECT_EQ(channel().record().sensorHeight, 2048u);
    EXPECT_DOUBLE_EQ(channel().record().exposure, 0.01);
    EXPECT_DOUBLE_EQ(channel().record().minExposure, 10e-6);
    for (const SetupCase& c : kSetups) {
        SCOPED_TRACE(c.nodes);
        ASSERT_NO_FATAL_FAILURE(setup(c.params));
        for (const auto& [feature, expected] : Nodes(c.nodes))
            ExpectNode(feature, read(feature), expected);
        // The host is told the window the camera holds and where its region lies in it.
        aikhost::ImageAttributesResult result = channel().getImageAttributes();
        ASSERT_EQ(result.rc, 0) << result.errText;
        EXPECT_EQ(std::to_string(result.attributes.width), read("Width"));
        EXPECT_EQ(std::to_string(result.attributes.height), read("Height"));
        EXPECT_EQ(std::to_string(c.params.roix - result.attributes.roix), read("OffsetX"));
        EXPECT_EQ(std::to_string(c.params.roiy - result.attributes.roiy), read("OffsetY"));
        EXPECT_EQ(result.attributes.roiwidth, c.params.roiwidth);
    }
    if (GetParam() == Backend::Gige) {
        const char* const nodes = kSetups[std::size(kSetups) - 1].nodes;
        const std::map<std::string, std::string> last = Nodes(nodes);
        std::map<std::string, double> held =
            arvToolValues(std::regex_replace(nodes, std::regex("=\\S*"), ""));
        EXPECT_EQ(held.size(), last.size())
            << "arv-tool-0.8 (package aravis-tools-cli) could not read the camera";
        for (const auto& [feature, expected] : last)
            EXPECT_EQ(held[feature], std::stod(expected)) << feature;
    }
}

// Catches a pixel format taken while the stream's buffers hold another, after which
// every image fails and the acquisition stalls, or a format refused when stopped.
TEST_P(AravisCameraTest, PixelFormatFixedWhileStreaming) {
    OPEN_OR_RETURN(GetParam());
    ASSERT_NO_FATAL_FAILURE(setup(regionParams(0, 0, 64, 64)));
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    EXPECT_EQ(channel().writeValue("PixelFormat", "Mono16").rc, 1);
    EXPECT_EQ(read("PixelFormat"), "Mono8");
    EXPECT_TRUE(waitForImage());
    ASSERT_EQ(channel().stopAcquisition().rc, 0);
    EXPECT_EQ(channel().writeValue("PixelFormat", "Mono16").rc, 0);
    EXPECT_EQ(read("PixelFormat"), "Mono16");
}

class AravisGigeTest : public AravisFixture {};

// Catches a triggered camera that streams anyway, or a software trigger that never
// yields an image. The emulator only: Aravis's in-process fake camera streams on in
// trigger mode.
TEST_F(AravisGigeTest, SoftwareTriggerYieldsOneImage) {
    OPEN_OR_RETURN(Backend::Gige);
    const CommonParamsRecord params{{}, 0.01, 0, 0, 1, 1, 1, 0, 0, 64, 64}; // triggered on the rising edge
    ASSERT_NO_FATAL_FAILURE(setup(params));
    write("TriggerSource", "Software");
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    EXPECT_FALSE(waitForImage(300));
    EXPECT_EQ(channel().executeCommand("TriggerSoftware").rc, 0);
    EXPECT_TRUE(waitForImage());
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

enum class Op { Read, Write, ValidEnum, Execute };
struct FeatureStep {
    Op op;
    const char* feature;
    const char* value; // written, or the text expected (nullptr: not compared)
    int32_t rc = 0;    // 1: refused
    int32_t index = 0; // ValidEnum
};

// In order: writes are read back by the steps after them.
const FeatureStep kFeatureSteps[] = {
    {Op::Read, "DeviceVendorName", "Aravis"},
    {Op::Read, "PixelFormat", "Mono8"},
    {Op::ValidEnum, "PixelFormat", "BayerBG8"}, // document order, not Aravis's reversed one
    {Op::ValidEnum, "PixelFormat", "Mono16", 0, 6},
    {Op::Write, "PixelFormat", "BayerRG8"},
    {Op::Read, "PixelFormat", "BayerRG8"},
    {Op::ValidEnum, "LineSelector", "Line0"},
    {Op::ValidEnum, "LineSelector", "Line2", 0, 1}, // Line1 is not available
    {Op::ValidEnum, "LineSelector", nullptr, 1, 2},
    {Op::Read, "TimerDelay_Max", "1000.000"},
    {Op::Write, "TimerDelay", "12.5"},
    {Op::Read, "TimerDelay", "12.500"},
    // Just out of range: refused with "smaller"/"greater", nudged once, accepted.
    {Op::Write, "TimerDelay", "1000.0004"},
    {Op::Read, "TimerDelay", "999.999"},
    {Op::Write, "TimerDelay", "-0.0004"},
    {Op::Read, "TimerDelay", "0.001"},
    {Op::Write, "TimerDelay", "2000", 1},
    {Op::Read, "TimerDelay", "0.001"},
    {Op::Write, "SensorWidth", "100", 1},
    {Op::Write, "AcquisitionFrameInterval", "5", 1}, // locked
    {Op::Write, "AcquisitionFrameRate", "1e9", 1},   // above the maximum of its converter
    {Op::Write, "TriggerDelay", "1", 1},             // not available
    {Op::Read, "TimerDuration", nullptr, 1},         // write-only
    {Op::Write, "TimerDuration", "5"},
    {Op::Read, "Gamma", nullptr, 1},        // not implemented
    {Op::Read, "TriggerDelay", nullptr, 1}, // not available
    {Op::Write, "DeviceUserID", "line-7"},
    {Op::Read, "DeviceUserID", "line-7"},
    {Op::Execute, "TriggerSoftware", nullptr},
    // The standard name on a camera that has only the older one.
    {Op::Write, "ExposureTimeAbs", "2500"},
    {Op::Read, "ExposureTime", "2500.000000"},
    {Op::Write, "ExposureTime", "3000"},
    {Op::Read, "ExposureTimeAbs", "3000.000000"},
    {Op::Read, "ExposureTime_Min", "10.000000"},
};

// Catches wrong access modes (NI, NA, WO, locked), range checks left to Aravis (which
// writes silently), an enumeration in reversed order or with unavailable entries,
// lost float precision, and a standard name missing where the camera has the older one.
TEST_P(AravisCameraTest, FeaturesAsText) {
    OPEN_OR_RETURN(GetParam());
    for (const FeatureStep& step : kFeatureSteps) {
        SCOPED_TRACE(std::string(step.feature) + (step.value ? std::string(" ") + step.value : ""));
        const aikhost::TextResult result =
            step.op == Op::Read        ? channel().readValue(step.feature)
            : step.op == Op::ValidEnum ? channel().getValidEnum(step.feature, step.index)
            : step.op == Op::Write ? aikhost::TextResult{channel().writeValue(step.feature, step.value), ""}
                                   : aikhost::TextResult{channel().executeCommand(step.feature), ""};
        EXPECT_EQ(result.rc, step.rc) << result.errText;
        if (step.op != Op::Write && step.value) {
            EXPECT_EQ(result.text, step.value);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Aravis, AravisCameraTest, ::testing::ValuesIn(kBackends),
                         [](const auto& tested) { return BackendName(tested.param); });

} // namespace
} // namespace aiktest
