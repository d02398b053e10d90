// What a host reads of nodes the description gives values, with and without the
// standard node map, and how the value slots read numbers out of the host's texts.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

struct DescribedValue {
    const char* name;
    const char* recordName;     // with recordSensorWidth: what the record shows
    uint32_t recordSensorWidth; // 0 when the record is not checked
    nlohmann::json camera;      // every node with a value
};

class DescribedValueTest : public FeatureTest, public ::testing::WithParamInterface<DescribedValue> {};

// Catches a described value refused or ignored: standing alone without the standard
// nodes, and setting the camera's state (its record and limits too) with them.
TEST_P(DescribedValueTest, NodesRecordAndLimitsShowTheDescribedValue) {
    const DescribedValue& c = GetParam();
    aikhost::Channel channel = openCamera(c.camera);
    for (const nlohmann::json& node : c.camera.at("nodes")) {
        const nlohmann::json& value = node.at("value");
        const aikhost::TextResult read = channel.readValue(node.at("name"));
        EXPECT_EQ(rcText(read), RcText(0, "")) << node;
        EXPECT_EQ(read.text, value.is_string() ? value.get<std::string>() : value.dump()) << node;
    }
    if (c.recordSensorWidth != 0) {
        EXPECT_EQ(channel.name(), c.recordName);
        EXPECT_EQ(channel.record().sensorWidth, c.recordSensorWidth);
        EXPECT_EQ(channel.readValue("Width_Max").text, std::to_string(c.recordSensorWidth));
    }
}

nlohmann::json valued(const char* name, const char* type, nlohmann::json value) {
    return nodeJson(name, type, "RO", {{"value", std::move(value)}});
}

// The standard map without the camera fields the nodes give.
nlohmann::json stateFromNodes(const std::vector<nlohmann::json>& nodes) {
    nlohmann::json camera = standardCamera(nodes);
    for (const char* field : {"vendor", "model", "sensorWidth", "sensorHeight"})
        camera.erase(field);
    return camera;
}

const DescribedValue kDescribedValues[] = {
    {"StandingAlone", "", 0,
     bareCamera({valued("DeviceVendorName", "String", "Acme"), valued("SensorWidth", "Integer", 2048),
                 valued("PayloadSize", "Integer", 77)})},
    {"SettingTheCameraState", "Acme M-2048(AIK)", 2048,
     stateFromNodes({valued("DeviceVendorName", "String", "Acme"),
                     valued("DeviceModelName", "String", "M-2048"), valued("SensorWidth", "Integer", 2048),
                     enumJson("PixelCoding", "Custom", {{"Custom", "RO"}}, "RO")})},
};

INSTANTIATE_TEST_SUITE_P(Modes, DescribedValueTest, ::testing::ValuesIn(kDescribedValues), CaseName());

using DescribedConflictTest = FeatureTest;

// Catches a camera field and a node value that disagree being accepted (one of them
// silently lost), or a refusal that does not name both fields.
TEST_F(DescribedConflictTest, RefusesTheDescriptionNamingBothFields) {
    nlohmann::json camera = standardCamera({valued("DeviceVendorName", "String", "Other")});
    camera["vendor"] = "Acme";
    useCameras({camera});
    ::testing::internal::CaptureStderr();
    const aikhost::VideoChannelResult result = getVideoChannel(0);
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result.rc, 1);
    EXPECT_EQ(result.errText, "UNSUCCESSFUL.");
    EXPECT_NE(output.find("cameras[0].nodes[0].value: expected the value cameras[0].vendor gives (\"Acme\")"),
              std::string::npos)
        << output;
}

using ValueTextTest = FeatureTest;

// Catches number texts read by the C runtime's rules (hexadecimal floats, "inf",
// "nan") instead of a decimal leading part. (Index texts: FeatureListTest.IndexingTheList.)
TEST_F(ValueTextTest, ReadsTheLeadingDecimalNumberOnly) {
    aikhost::Channel channel = openCamera(
        standardCamera({nodeJson("Level", "Float", "RW", {{"min", -1e6}, {"max", 1e6}, {"precision", 2}})}));
    // The last pair: every blank the C locale knows, before the number.
    const std::pair<const char*, const char*> floats[] = {
        {"0x2", "0.00"},  {"inf", "0.00"},    {"nan", "0.00"}, {" -1.5e3xyz", "-1500.00"}, {".5", "0.50"},
        {"2e1", "20.00"}, {"1.5abc", "1.50"}, {"+7.", "7.00"}, {"\t\n\v\f\r 4", "4.00"},
    };
    for (const auto& [text, shown] : floats) {
        EXPECT_EQ(channel.writeValue("Level", text).rc, 0) << text;
        EXPECT_EQ(channel.readValue("Level").text, shown) << text;
    }
}

} // namespace
} // namespace aiktest
