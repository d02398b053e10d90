// GetFeatureName and the "FeatureName_" form of ReadValue: which catalogue entries a
// channel offers, in which order, and how the shared list follows the channel.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

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

// Catches a list in node-map order instead of catalogue order (TriggerSoftware after
// the TriggerDelay limits, LineSelector/LineSource after the *All names), a missing
// AdapterVersion at the top, or a node offered that the catalogue does not name.
TEST_F(FeatureListTest, ListFollowsTheCatalogueOrder) {
    aikhost::Channel channel = openCamera(bareCamera(scrambledNodes()));
    EXPECT_EQ(featureNames(channel),
              (std::vector<std::string>{"AdapterVersion", "DeviceVendorName", "DeviceModelName", "Gamma",
                                        "Gamma_Min", "Gamma_Max", "TriggerDelay", "TriggerDelay_Min",
                                        "TriggerDelay_Max", "TriggerSoftware", "LineInverterAll",
                                        "LineSelector", "LineSource", "TestPattern"}));
}

// Catches "DeviceVenderName" folded into "DeviceVendorName" (or the reverse): each
// is offered only when the camera has a node of exactly that name, at its own place.
TEST_F(FeatureListTest, VenderSpellingIsItsOwnEntry) {
    aikhost::Channel vender = openCamera(bareCamera(
        {nodeJson("DeviceModelName", "String", "RO"), nodeJson("DeviceVenderName", "String", "RO")}));
    EXPECT_EQ(featureNames(vender),
              (std::vector<std::string>{"AdapterVersion", "DeviceVenderName", "DeviceModelName"}));
    // Without the release the new enumeration would keep channel 0's list.
    ASSERT_EQ(vender.releaseVideoChannel().rc, 0);

    aikhost::Channel both = openCamera(
        bareCamera({nodeJson("DeviceModelName", "String", "RO"), nodeJson("DeviceVenderName", "String", "RO"),
                    nodeJson("DeviceVendorName", "String", "RO")}));
    EXPECT_EQ(featureNames(both), (std::vector<std::string>{"AdapterVersion", "DeviceVendorName",
                                                            "DeviceVenderName", "DeviceModelName"}));
}

// Catches a camera without any catalogue node offering nothing, not even the
// adapter's own feature.
TEST_F(FeatureListTest, AdapterVersionIsAlwaysFirst) {
    aikhost::Channel channel = openCamera(bareCamera({}));
    EXPECT_EQ(featureNames(channel), std::vector<std::string>{"AdapterVersion"});
    EXPECT_EQ(channel.readValue("FeatureName_0").text, "AdapterVersion");
}

struct AccessCase {
    const char* name;
    const char* access;
    bool offered;
};

class OfferedByAccessTest : public FeatureTest, public ::testing::WithParamInterface<AccessCase> {};

// Catches companions offered for a node the camera does not have available, a
// write-only node left out, or companions tied to the node's type or readability
// rather than to its presence.
TEST_P(OfferedByAccessTest, NodeAndCompanionsOfferedExactlyWhenAvailable) {
    const AccessCase& c = GetParam();
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("TimerDelay", "String", c.access)}));
    std::vector<std::string> expected{"AdapterVersion"};
    if (c.offered)
        expected.insert(expected.end(), {"TimerDelay", "TimerDelay_Min", "TimerDelay_Max"});
    EXPECT_EQ(featureNames(channel), expected);
}

INSTANTIATE_TEST_SUITE_P(Access, OfferedByAccessTest,
                         ::testing::Values(AccessCase{"NotImplemented", "NI", false},
                                           AccessCase{"NotAvailable", "NA", false},
                                           AccessCase{"WriteOnly", "WO", true},
                                           AccessCase{"ReadOnly", "RO", true},
                                           AccessCase{"ReadWrite", "RW", true}),
                         CaseName());

// Catches a companion offered because a node of the companion's own name exists,
// when its base node is missing.
TEST_F(FeatureListTest, CompanionNeedsItsBaseNode) {
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("Gamma_Min", "Float")}));
    EXPECT_EQ(featureNames(channel), std::vector<std::string>{"AdapterVersion"});
}

// Catches an index check that is off by one or lets a negative index through, or a
// failure that writes errText or the name buffer.
TEST_F(FeatureListTest, IndexOutsideTheListFailsSilently) {
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
}

struct IndexFormCase {
    const char* name;
    const char* addr;
    const char* expected;
};

class FeatureNameFormTest : public FeatureTest, public ::testing::WithParamInterface<IndexFormCase> {};

// Catches the index form misparsed (no digits, trailing text, out of range) or
// failing where it should answer the empty text with result 0.
TEST_P(FeatureNameFormTest, IndexFormNamesTheListedFeature) {
    const IndexFormCase& c = GetParam();
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("Gamma", "Float")}));
    aikhost::TextResult read = channel.readValue(c.addr);
    EXPECT_EQ(read.rc, 0);
    EXPECT_EQ(read.errText, "");
    EXPECT_EQ(read.text, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, FeatureNameFormTest,
                         ::testing::Values(IndexFormCase{"Zero", "FeatureName_0", "AdapterVersion"},
                                           IndexFormCase{"NoDigits", "FeatureName_", "AdapterVersion"},
                                           IndexFormCase{"Letters", "FeatureName_x", "AdapterVersion"},
                                           IndexFormCase{"Last", "FeatureName_3", "Gamma_Max"},
                                           IndexFormCase{"TrailingText", "FeatureName_2abc", "Gamma_Min"},
                                           IndexFormCase{"LeadingBlank", "FeatureName_ 1", "Gamma"},
                                           IndexFormCase{"BeyondList", "FeatureName_4", ""},
                                           IndexFormCase{"Negative", "FeatureName_-1", ""}),
                         CaseName());

// Catches a list that is not rebuilt when another channel asks, or is rebuilt from
// the wrong camera, through either way of indexing it.
TEST_F(FeatureListTest, ListFollowsTheAskingChannel) {
    std::vector<aikhost::Channel> channels = openCameras(
        {bareCamera({nodeJson("Gamma", "Float")}), bareCamera({nodeJson("TestPattern", "Enumeration")})});
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(featureNames(channels[1]), (std::vector<std::string>{"AdapterVersion", "TestPattern"}));
    EXPECT_EQ(channels[0].readValue("FeatureName_1").text, "Gamma");
    EXPECT_EQ(channels[1].readValue("FeatureName_1").text, "TestPattern");
    EXPECT_EQ(channels[0].getFeatureName(3).text, "Gamma_Max");
    EXPECT_EQ(channels[1].getFeatureName(2).rc, 1);
}

// Catches a list rebuilt on every call (asking the camera each time), or one not
// rebuilt when another channel asks in between: a rebuild looks up every catalogue
// entry but the adapter's own, once.
TEST_F(FeatureListTest, CameraIsAskedOnlyWhenTheChannelChanges) {
    std::vector<aikhost::Channel> channels = openCameras(
        {bareCamera({nodeJson("Gamma", "Float")}), bareCamera({nodeJson("TestPattern", "Enumeration")})});
    ASSERT_EQ(channels.size(), 2u);
    const uint64_t before = simCallCount("pvxGetNode");
    featureNames(channels[0]);
    channels[0].readValue("FeatureName_2");
    EXPECT_EQ(simCallCount("pvxGetNode"), before);
    channels[1].getFeatureName(0);
    channels[1].readValue("FeatureName_1");
    EXPECT_EQ(simCallCount("pvxGetNode") - before, 46u);
}

// Catches a channel identifier whose high 32 bits are taken into account when the
// camera is resolved: only the low 32 bits name the camera.
TEST_F(FeatureListTest, HighBitsOfTheChannelAreIgnoredForTheCamera) {
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("Gamma", "Float")}));
    VideoChannelRecord record = channel.record();
    record.channelID += int64_t{1} << 32;
    aikhost::Channel aliased(record);
    EXPECT_EQ(featureNames(aliased), featureNames(channel));
}

// Catches a list that survives ReleaseVideoChannel, or is not built again for the
// new enumeration.
TEST_F(FeatureListTest, ListIsRebuiltAfterRelease) {
    aikhost::Channel first = openCamera(bareCamera({nodeJson("Gamma", "Float")}));
    ASSERT_EQ(first.releaseVideoChannel().rc, 0);
    aikhost::Channel second = openCamera(bareCamera({nodeJson("TestPattern", "Enumeration")}));
    EXPECT_EQ(featureNames(second), (std::vector<std::string>{"AdapterVersion", "TestPattern"}));
}

} // namespace
} // namespace aiktest
