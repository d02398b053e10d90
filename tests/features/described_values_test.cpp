// What a host reads of nodes the description gives values, with and without the
// standard node map, and how the value slots read numbers out of the host's texts.
#include "tests/features/feature_fixture.h"

namespace aiktest {
namespace {

struct DescribedValue {
    const char* name;
    nlohmann::json camera;
    std::vector<std::pair<std::string, std::string>> reads; // feature, value the host reads
    const char* recordName;                                 // "" when not checked
    uint32_t recordSensorWidth;                             // 0 when not checked
};

class DescribedValueTest : public FeatureTest, public ::testing::WithParamInterface<DescribedValue> {};

// Catches a described value refused or ignored: standing alone without the standard
// nodes, and setting the camera's state (its record and limits too) with them.
TEST_P(DescribedValueTest, NodesRecordAndLimitsShowTheDescribedValue) {
    aikhost::Channel channel = openCamera(GetParam().camera);
    for (const auto& [feature, value] : GetParam().reads) {
        const aikhost::TextResult read = channel.readValue(feature);
        EXPECT_EQ(read.rc, 0) << feature << ": " << read.errText;
        EXPECT_EQ(read.text, value) << feature;
    }
    if (*GetParam().recordName != '\0') {
        EXPECT_EQ(channel.name(), GetParam().recordName);
    }
    if (GetParam().recordSensorWidth != 0) {
        EXPECT_EQ(channel.record().sensorWidth, GetParam().recordSensorWidth);
    }
}

nlohmann::json valued(nlohmann::json node, nlohmann::json value) {
    node["value"] = std::move(value);
    return node;
}

// The standard map without the camera fields the nodes give.
nlohmann::json stateFromNodes(const std::vector<nlohmann::json>& nodes) {
    nlohmann::json camera = standardCamera(nodes);
    for (const char* field : {"vendor", "model", "sensorWidth", "sensorHeight"})
        camera.erase(field);
    return camera;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DescribedValueTest,
    ::testing::Values(
        DescribedValue{"StandingAlone",
                       bareCamera({valued(nodeJson("DeviceVendorName", "String", "RO"), "Acme"),
                                   valued(nodeJson("SensorWidth", "Integer", "RO"), 2048),
                                   valued(nodeJson("PayloadSize", "Integer", "RO"), 77)}),
                       {{"DeviceVendorName", "Acme"}, {"SensorWidth", "2048"}, {"PayloadSize", "77"}},
                       "",
                       0},
        DescribedValue{"SettingTheCameraState",
                       stateFromNodes({valued(nodeJson("DeviceVendorName", "String", "RO"), "Acme"),
                                       valued(nodeJson("DeviceModelName", "String", "RO"), "M-2048"),
                                       valued(nodeJson("SensorWidth", "Integer", "RO"), 2048),
                                       enumJson("PixelCoding", "Custom", {{"Custom", "RO"}}, "RO")}),
                       {{"DeviceVendorName", "Acme"},
                        {"SensorWidth", "2048"},
                        {"Width_Max", "2048"},
                        {"PixelCoding", "Custom"}},
                       "Acme M-2048(AIK)",
                       2048}),
    [](const ::testing::TestParamInfo<DescribedValue>& tested) { return std::string(tested.param.name); });

using DescribedConflictTest = FeatureTest;

// Catches a camera field and a node value that disagree being accepted (one of them
// silently lost), or a refusal that does not name both fields.
TEST_F(DescribedConflictTest, RefusesTheDescriptionNamingBothFields) {
    nlohmann::json camera = standardCamera({valued(nodeJson("DeviceVendorName", "String", "RO"), "Other")});
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
// "nan", an index wrapping modulo 2^32) instead of a decimal leading part, saturated.
TEST_F(ValueTextTest, ReadsTheLeadingDecimalNumberOnly) {
    nlohmann::json level = nodeJson("Level", "Float");
    level["min"] = -1e6;
    level["max"] = 1e6;
    level["precision"] = 2;
    aikhost::Channel channel = openCamera(standardCamera({level}));
    // The last pair: every blank the C locale knows, before the number.
    const std::pair<const char*, const char*> floats[] = {
        {"0x2", "0.00"},  {"inf", "0.00"},    {"nan", "0.00"}, {" -1.5e3xyz", "-1500.00"}, {".5", "0.50"},
        {"2e1", "20.00"}, {"1.5abc", "1.50"}, {"+7.", "7.00"}, {"\t\n\v\f\r 4", "4.00"},
    };
    for (const auto& [text, shown] : floats) {
        EXPECT_EQ(channel.writeValue("Level", text).rc, 0) << text;
        EXPECT_EQ(channel.readValue("Level").text, shown) << text;
    }
    const std::pair<const char*, const char*> reads[] = {{"FeatureName_0", "AdapterVersion"},
                                                         {"FeatureName_4294967296", ""},
                                                         {"FeatureName_-4294967296", ""},
                                                         {"FeatureName_99999999999999999999", ""},
                                                         {"FeatureName_x", "AdapterVersion"}};
    for (const auto& [addr, name] : reads) {
        const aikhost::TextResult read = channel.readValue(addr);
        EXPECT_EQ(read.rc, 0) << addr;
        EXPECT_EQ(read.text, name) << addr;
    }
}

} // namespace
} // namespace aiktest
