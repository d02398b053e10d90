// The JSON description: every refusal names the file, the field and what was
// expected; it is read anew by every pvxInitLibrary.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"
#include "tests/support/case_name.h"

using nlohmann::json;

namespace simtest {
namespace {

struct BadDescription {
    const char* name;
    std::string text;     // the whole file
    const char* field;    // JSON path the message names ("" for file-level faults)
    const char* expected; // part of what the message says
};

std::ostream& operator<<(std::ostream& out, const BadDescription& bad) {
    return out << bad.name;
}

class DescriptionErrorTest : public SimTest, public ::testing::WithParamInterface<BadDescription> {};

// Catches a description accepted although wrong, or a message that does not let the
// integrator find the field: one stderr line with file, field and expectation.
TEST_P(DescriptionErrorTest, FailsInitWithOneLineNamingFileFieldAndExpectation) {
    const BadDescription& bad = GetParam();
    const std::string file = UseDescriptionText(bad.text);
    ::testing::internal::CaptureStderr();
    const PvxStatus status = pvxInitLibrary(1);
    const std::string output = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(status, PVX_OK);
    EXPECT_NE(status, PVX_ERR_ALREADY_INITIALIZED);
    ASSERT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_EQ(output.rfind(std::string(sim::kMessagePrefix), 0), 0u) << output;
    EXPECT_NE(output.find(file + ": " + bad.field), std::string::npos) << output;
    EXPECT_NE(output.find(bad.expected), std::string::npos) << output;
    EXPECT_NE(LastErrorText().find(bad.expected), std::string::npos) << LastErrorText();
}

// The description of one camera, or of that camera after before when it is given.
std::string OneCamera(const json& camera, const json& before = nullptr) {
    return json{{"cameras", before.is_null() ? json::array({camera}) : json::array({before, camera})}}.dump();
}
std::string OneNode(const json& node) {
    return OneCamera({{"nodes", json::array({node})}});
}

const BadDescription kBadDescriptions[] = {
    {"Syntax", "{\"cameras\": [", "not valid JSON", "line 1"},
    {"NumberBeyondDouble", R"({"cameras": [{"frameRate": 1E400}]})", "not valid JSON",
     "number overflow parsing"},
    {"NestedTooDeep", std::string(100000, '['), "nested deeper", "than 64 levels"},
    {"TopLevelNotObject", "[1, 2]", "(top level)", "expected an object"},
    {"CamerasNotArray", R"({"cameras": {}})", "cameras", "expected an array"},
    {"ExposureMinText", OneCamera({{"exposure", {{"min", "abc"}}}}, json::object()),
     "cameras[1].exposure.min", "expected a number"},
    {"ExposureMaxBelowMin", OneCamera({{"exposure", {{"min", 100}, {"max", 10}}}}), "cameras[0].exposure.max",
     "expected a value not below min"},
    {"InitStatusNegative", R"({"initStatus": -5})", "initStatus", "unsigned 32-bit code"},
    {"SensorWidthZero", OneCamera({{"sensorWidth", 0}}), "cameras[0].sensorWidth",
     "expected a whole number from 1"},
    {"UnknownPixelFormat", OneCamera({{"pixelFormat", "Mono7"}}), "cameras[0].pixelFormat",
     "expected a PFNC name"},
    {"FormatNotOffered", OneCamera({{"pixelFormat", "Mono8"}, {"pixelFormats", {"Mono12", "Mono16"}}}),
     "cameras[0].pixelFormat", "one of the formats in pixelFormats"},
    {"WidthOffGrid", OneCamera({{"width", {{"min", 16}, {"inc", 16}, {"value", 100}}}}),
     "cameras[0].width.value", "min + a multiple of inc"},
    {"RegionBeyondSensor",
     OneCamera({{"sensorWidth", 64}, {"offsetX", {{"value", 32}}}, {"width", {{"value", 64}}}}),
     "cameras[0].width.value", "not above sensorWidth"},
    {"VendorTooLong", OneCamera({{"vendor", std::string(64, 'v')}}), "cameras[0].vendor",
     "at most 63 characters"},
    {"FrameRateZero", OneCamera({{"frameRate", 0}}), "cameras[0].frameRate", "expected a rate from"},
    {"TestPatternUnknown", OneCamera({{"testPattern", "Zebra"}}), "cameras[0].testPattern",
     "\"GreyHorizontalRamp\""},
    {"NodeTypeUnknown", OneNode({{"name", "Foo"}, {"type", "Int"}}), "cameras[0].nodes[0].type",
     "expected one of \"Integer\""},
    {"NodeTypeMissing", OneNode({{"name", "Foo"}}), "cameras[0].nodes[0].type", "not a standard node"},
    {"NodeAccessUnknown", OneNode({{"name", "Foo"}, {"type", "Integer"}, {"access", "rw"}}),
     "cameras[0].nodes[0].access", "\"RW\""},
    {"FloatValueAboveMax",
     OneNode({{"name", "Foo"}, {"type", "Float"}, {"min", 0}, {"max", 1}, {"value", 2}}),
     "cameras[0].nodes[0].value", "from min to max"},
    {"EnumValueNotEntry",
     OneNode({{"name", "Foo"}, {"type", "Enumeration"}, {"entries", {"A", "B"}}, {"value", "C"}}),
     "cameras[0].nodes[0].value", "one of the node's entries"},
    {"CommandWithValue", OneNode({{"name", "Go"}, {"type", "Command"}, {"value", 1}}),
     "cameras[0].nodes[0].value", "no value"},
    {"PrecisionOnInteger", OneNode({{"name", "Foo"}, {"type", "Integer"}, {"precision", 2}}),
     "cameras[0].nodes[0].precision", "applies to Float nodes"},
    {"DuplicateNode",
     OneCamera({{"nodes", {{{"name", "Foo"}, {"type", "Boolean"}}, {{"name", "Foo"}, {"type", "Boolean"}}}}}),
     "cameras[0].nodes[1].name", "not used by an earlier node"},
    {"RemoveUnknown", OneNode({{"name", "NoSuchNode"}, {"remove", true}}), "cameras[0].nodes[0].remove",
     "standard node to remove"},
    {"LinkedValueRefused", OneNode({{"name", "Width"}, {"type", "Integer"}, {"value", 5000}}),
     "cameras[0].nodes[0].value", "a value the camera accepts"},
    {"SelectorUnknown", OneNode({{"name", "Foo"}, {"type", "Integer"}, {"selector", "NoSuchSelector"}}),
     "cameras[0].nodes[0].selector", "Enumeration node"},
    {"FaultCallUnknown",
     OneCamera({{"faults", json::array({{{"call", "pvxSetROI"}, {"status", PVX_ERR_NOT_INITIALIZED}}})}}),
     "cameras[0].faults[0].call", "an operation's name"},
    {"FaultOnInit", R"({"faults": [{"call": "pvxInitLibrary", "status": 1}]})", "faults[0].call",
     "initStatus"},
    {"FaultStatusMissing", OneCamera({{"faults", json::array({{{"call", "pvxSetRoi"}}})}}),
     "cameras[0].faults[0].status", "missing"},
    {"FaultTimesBelowMinusOne",
     OneCamera(
         {{"faults",
           json::array({{{"call", "pvxSetRoi"}, {"status", PVX_ERR_NOT_INITIALIZED}, {"times", -2}}})}}),
     "cameras[0].faults[0].times", "from -1"},
};

INSTANTIATE_TEST_SUITE_P(Fields, DescriptionErrorTest, ::testing::ValuesIn(kBadDescriptions),
                         aiktest::CaseName());

// Catches a typo in a field name that silently changes nothing (it is reported), a
// missing file read as "no cameras" instead of a failure, a description read once and
// cached (every initialisation reads the file anew, so a missing one fails), a failed
// re-initialisation that throws away the working enumeration, and a re-initialisation
// that invalidates the cameras a host still holds.
TEST_F(SimTest, EveryInitReadsTheDescriptionAgain) {
    UseDescription({{"cameras", json::array({{{"exposre", {{"min", 5}}}}, json::object()})}});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(pvxInitLibrary(1), PVX_OK);
    std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("cameras[0].exposre: unknown field, ignored"), std::string::npos) << output;
    const PvxHandle before = Open(0);

    std::filesystem::remove(m_folder / "cameras.json");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(pvxInitLibrary(1), PVX_ERR_UNSUCCESSFUL);
    output = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("cameras.json: cannot read the file"), std::string::npos) << output;
    EXPECT_EQ(Got(pvxGetCameraCount), 2);
    EXPECT_NE(Open(1), 0u);

    UseCamera({{"sensorWidth", 320}, {"sensorHeight", 240}});
    Init();
    EXPECT_EQ(Got(pvxGetSensorWidth, before), sim::kDefaultSensorWidth);
    EXPECT_EQ(Got(pvxGetSensorWidth, Open(0)), 320u);
}

// Catches a description read without bound (an endless file takes all the memory), and
// a large one refused or misread: 100,000 nodes beside an enumeration of 100,000
// entries (bench/description_bench.cpp times the read).
TEST_F(SimTest, LargeDescriptionsBoundedAndReadWhole) {
    const std::filesystem::path file = UseDescriptionText("");
    std::filesystem::resize_file(file, sim::kMaxDescriptionBytes + 1);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(pvxInitLibrary(1), PVX_ERR_UNSUCCESSFUL);
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("cameras.json: larger than 64 MiB, the most a description may hold"),
              std::string::npos)
        << output;

    constexpr int kMany = 100000;
    json nodes = json::array(), entries = json::array();
    for (int i = 0; i < kMany; ++i) {
        nodes.push_back({{"name", "Node" + std::to_string(i)}, {"type", "Integer"}});
        entries.push_back("Entry" + std::to_string(i));
    }
    nodes.push_back({{"name", "Many"}, {"type", "Enumeration"}, {"entries", entries}});
    UseCamera({{"nodes", nodes}});
    Init();
    const PvxHandle camera = Open(0);
    EXPECT_NE(Node(camera, "Node99999"), 0u);
    EXPECT_NE(Node(camera, "Many"), 0u);
}

// Catches hexadecimal and -1 spellings of statuses being refused or misread, a
// countStatus or openStatus that does not reach the caller or still writes the count
// or the handle, and an initStatus of "already initialised" that does not initialise.
TEST_F(SimTest, StatusesAcceptNumbersMinusOneAndHexText) {
    const std::pair<json, PvxStatus> spellings[] = {{4294967295u, PVX_ERR_UNSUCCESSFUL},
                                                    {-1, PVX_ERR_UNSUCCESSFUL},
                                                    {"0xFFFFFFFF", PVX_ERR_UNSUCCESSFUL},
                                                    {"0x102", PVX_ERR_GENICAM},
                                                    {19, PVX_ERR_CAMERA_NOT_RESPONDING}};
    for (const auto& [spelling, status] : spellings) {
        UseDescription(
            {{"countStatus", spelling}, {"cameras", {{{"openStatus", spelling}}, json::object()}}});
        Init();
        int32_t count = -7;
        EXPECT_EQ(pvxGetCameraCount(&count), status) << spelling.dump();
        EXPECT_EQ(count, -7);
        PvxHandle camera = 0;
        EXPECT_EQ(pvxOpenCamera(0, &camera, 0, true, 0, 1), status) << spelling.dump();
        EXPECT_EQ(camera, 0u);
    }
    EXPECT_NE(Open(1), 0u);
    UseDescription({{"initStatus", PVX_ERR_ALREADY_INITIALIZED}, {"cameras", json::array({json::object()})}});
    EXPECT_EQ(pvxInitLibrary(1), PVX_ERR_ALREADY_INITIALIZED);
    EXPECT_NE(Open(0), 0u);
}

} // namespace
} // namespace simtest
