// GetFeatureName and the "FeatureName_" form of ReadValue: which catalogue entries a
// channel offers, in which order, and how the shared list follows the channel.
#include "features/catalogue.h"
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

#include <algorithm>
#include <string_view>

namespace aiktest {
namespace {

using FeatureListTest = FeatureTest;

// A node map in scrambled order with one node of every kind the catalogue names.
std::vector<nlohmann::json> scrambledNodes() {
    return {nodeJson("TestPattern", "Enumeration"),       nodeJson("Gamma", "Float"),
            nodeJson("DeviceVendorName", "String", "RO"), nodeJson("TriggerSoftware", "Command", "WO"),
            nodeJson("DeviceModelName", "String", "RO"),  nodeJson("LineSource", "Enumeration"),
            nodeJson("LineSelector", "Enumeration"),      nodeJson("TriggerDelay", "Float"),
            nodeJson("LineInverterAll", "Integer"),       nodeJson("NotInCatalogue", "Integer")};
}

struct ListCase {
    const char* name;
    std::vector<nlohmann::json> nodes;
    std::vector<std::string> offered; // after AdapterVersion
};

class OfferedFeaturesTest : public FeatureTest, public ::testing::WithParamInterface<ListCase> {};

// Catches a list in node-map order instead of catalogue order (TriggerSoftware after
// the TriggerDelay limits, LineSelector/LineSource after the *All names), a missing
// AdapterVersion at the top (even without any catalogue node), a node offered that the
// catalogue does not name, "DeviceVenderName" folded into "DeviceVendorName" (each is
// offered only when the camera has a node of exactly that name, at its own place), a
// companion offered because a node of the companion's own name exists when its base
// node is missing, and companions offered for a node the camera does not have
// available, a write-only node left out, or companions tied to the node's type or
// readability rather than to its presence.
TEST_P(OfferedFeaturesTest, ListFollowsTheCatalogue) {
    std::vector<std::string> expected{"AdapterVersion"};
    expected.insert(expected.end(), GetParam().offered.begin(), GetParam().offered.end());
    EXPECT_EQ(featureNames(openCamera(bareCamera(GetParam().nodes))), expected);
}

std::vector<nlohmann::json> timerDelay(const char* access) {
    return {nodeJson("TimerDelay", "String", access)};
}

const std::vector<std::string> kTimerDelayOffered{"TimerDelay", "TimerDelay_Min", "TimerDelay_Max"};

INSTANTIATE_TEST_SUITE_P(
    NodeMaps, OfferedFeaturesTest,
    ::testing::Values(
        ListCase{"CatalogueOrder",
                 scrambledNodes(),
                 {"DeviceVendorName", "DeviceModelName", "Gamma", "Gamma_Min", "Gamma_Max", "TriggerDelay",
                  "TriggerDelay_Min", "TriggerDelay_Max", "TriggerSoftware", "LineInverterAll",
                  "LineSelector", "LineSource", "TestPattern"}},
        ListCase{"Empty", {}, {}}, ListCase{"CompanionWithoutBase", {nodeJson("Gamma_Min", "Float")}, {}},
        ListCase{"VenderSpelling",
                 {nodeJson("DeviceModelName", "String", "RO"), nodeJson("DeviceVenderName", "String", "RO")},
                 {"DeviceVenderName", "DeviceModelName"}},
        ListCase{"BothSpellings",
                 {nodeJson("DeviceModelName", "String", "RO"), nodeJson("DeviceVenderName", "String", "RO"),
                  nodeJson("DeviceVendorName", "String", "RO")},
                 {"DeviceVendorName", "DeviceVenderName", "DeviceModelName"}},
        ListCase{"NotImplemented", timerDelay("NI"), {}}, ListCase{"NotAvailable", timerDelay("NA"), {}},
        ListCase{"WriteOnly", timerDelay("WO"), kTimerDelayOffered},
        ListCase{"ReadOnly", timerDelay("RO"), kTimerDelayOffered},
        ListCase{"ReadWrite", timerDelay("RW"), kTimerDelayOffered}),
    CaseName());

// Catches an index check that is off by one or lets a negative index through, a
// failure that writes errText or the name buffer, the index form misparsed (no
// digits, trailing text, out of range, or wrapping modulo 2^32 instead of
// saturating) or failing where it should answer the empty text with result 0, and a
// channel identifier whose high 32 bits are taken into account when the camera is
// resolved: only the low 32 bits name the camera.
TEST_F(FeatureListTest, IndexingTheList) {
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("Gamma", "Float")}));
    const int32_t count = static_cast<int32_t>(featureNames(channel).size());
    ASSERT_EQ(count, 4);
    for (int32_t index : {count, count + 1, -1}) {
        char errText[256] = "untouched";
        char feature[256] = "untouched";
        EXPECT_EQ(channel.record().GetFeatureName(errText, channel.id(), index, feature), 1) << index;
        EXPECT_STREQ(errText, "untouched");
        EXPECT_STREQ(feature, "untouched");
    }
    const std::pair<const char*, const char*> forms[] = {
        {"FeatureName_0", "AdapterVersion"},
        {"FeatureName_", "AdapterVersion"},
        {"FeatureName_x", "AdapterVersion"},
        {"FeatureName_3", "Gamma_Max"},
        {"FeatureName_2abc", "Gamma_Min"},
        {"FeatureName_ 1", "Gamma"},
        {"FeatureName_4", ""},
        {"FeatureName_-1", ""},
        {"FeatureName_4294967296", ""},
        {"FeatureName_-4294967296", ""},
        {"FeatureName_99999999999999999999", ""},
    };
    for (const auto& [addr, expected] : forms) {
        aikhost::TextResult read = channel.readValue(addr);
        EXPECT_EQ(rcText(read), RcText(0, "")) << addr;
        EXPECT_EQ(read.text, expected) << addr;
    }
    VideoChannelRecord record = channel.record();
    record.channelID += int64_t{1} << 32;
    EXPECT_EQ(featureNames(aikhost::Channel(record)), featureNames(channel));

    // The list must not survive ReleaseVideoChannel, and is built again for the new enumeration.
    ASSERT_EQ(channel.releaseVideoChannel().rc, 0);
    EXPECT_EQ(featureNames(openCamera(bareCamera({nodeJson("TestPattern", "Enumeration")}))),
              (std::vector<std::string>{"AdapterVersion", "TestPattern"}));
}

// Catches a list rebuilt on every call (asking the camera each time), or one not
// rebuilt when another channel asks in between: a rebuild looks up every catalogue
// entry but the adapter's own, once; and a list rebuilt from the wrong camera,
// through either way of indexing it.
TEST_F(FeatureListTest, ListFollowsTheAskingChannel) {
    std::vector<aikhost::Channel> channels = openCameras(
        {bareCamera({nodeJson("Gamma", "Float")}), bareCamera({nodeJson("TestPattern", "Enumeration")})});
    ASSERT_EQ(channels.size(), 2u);
    const uint64_t before = simCallCount("pvxGetNode");
    featureNames(channels[0]);
    channels[0].readValue("FeatureName_2");
    EXPECT_EQ(simCallCount("pvxGetNode"), before);
    channels[1].getFeatureName(0);
    channels[1].readValue("FeatureName_1");
    const auto cameraNodes =
        std::count_if(std::begin(g_featureTable), std::end(g_featureTable),
                      [](const char* name) { return std::string_view(name) != kAdapterVersionName; });
    EXPECT_EQ(simCallCount("pvxGetNode") - before, static_cast<uint64_t>(cameraNodes));
    EXPECT_EQ(featureNames(channels[1]), (std::vector<std::string>{"AdapterVersion", "TestPattern"}));
    EXPECT_EQ(channels[0].readValue("FeatureName_1").text, "Gamma");
    EXPECT_EQ(channels[1].readValue("FeatureName_1").text, "TestPattern");
    EXPECT_EQ(channels[0].getFeatureName(3).text, "Gamma_Max");
    EXPECT_EQ(channels[1].getFeatureName(2).rc, 1);
}

} // namespace
} // namespace aiktest
