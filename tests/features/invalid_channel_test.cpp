// The seven feature slots called with a channel that names no camera: each answers
// in its own way, and none writes "INVALID PARAMETER.".
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

#include <functional>

namespace aiktest {
namespace {

constexpr const char* kUntouched = "untouched";

// What a slot left in the host's buffers.
struct Outcome {
    int32_t rc = -99;
    std::string errText;
    std::string out; // the slot's text out-buffer, or the type code as text
};

using SlotCall = std::function<Outcome(const VideoChannelRecord&, int64_t)>;

// Calls a slot with errText and its text out-buffer prefilled, to see what it writes.
template <class Call> Outcome prefilled(Call call) {
    char errText[256];
    char out[256];
    snprintf(errText, sizeof errText, "%s", kUntouched);
    snprintf(out, sizeof out, "%s", kUntouched);
    Outcome outcome;
    outcome.rc = call(errText, out);
    outcome.errText = errText;
    outcome.out = out;
    return outcome;
}

struct InvalidChannelCase {
    const char* name;
    SlotCall call;
    int32_t rc;
    const char* errText;
    const char* out;
};

Outcome featureName(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.GetFeatureName(e, id, 0, o); });
}
Outcome featureType(const VideoChannelRecord& r, int64_t id) {
    int32_t type = 77;
    Outcome outcome = prefilled([&](char* e, char*) { return r.GetFeatureType(e, id, "Gamma", &type); });
    outcome.out = std::to_string(type);
    return outcome;
}
Outcome featureAttr(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.GetFeatureAttr(e, id, "AdapterVersion", 1, o); });
}
Outcome validEnum(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.GetValidEnum(e, id, "TestPattern", 0, o); });
}
Outcome readIndexForm(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.ReadValue(e, id, "FeatureName_0", o); });
}
Outcome readNode(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.ReadValue(e, id, "Gamma", o); });
}
Outcome readAdapterVersion(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char* o) { return r.ReadValue(e, id, "AdapterVersion", o); });
}
Outcome writeValue(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char*) { return r.WriteValue(e, id, "Gamma", "1.5"); });
}
Outcome executeCommand(const VideoChannelRecord& r, int64_t id) {
    return prefilled([&](char* e, char*) { return r.ExecuteCommand(e, id, "TriggerSoftware"); });
}

class InvalidChannelTest : public FeatureTest, public ::testing::WithParamInterface<InvalidChannelCase> {};

// Catches a slot that answers an unknown channel with "INVALID PARAMETER.", writes
// buffers it must leave alone, leaves a buffer it must empty, or reaches a camera
// anyway (channel 2 of two cameras, and -1, whose low 32 bits are 0xFFFFFFFF).
TEST_P(InvalidChannelTest, SlotAnswersInItsOwnWay) {
    const InvalidChannelCase& c = GetParam();
    std::vector<aikhost::Channel> channels = openCameras(
        {standardCamera({nodeJson("Gamma", "Float")}), standardCamera({nodeJson("Gamma", "Float")})});
    ASSERT_EQ(channels.size(), 2u);
    for (int64_t id : {int64_t{2}, int64_t{-1}}) {
        Outcome outcome = c.call(channels[0].record(), id);
        EXPECT_EQ(outcome.rc, c.rc) << id;
        EXPECT_EQ(outcome.errText, c.errText) << id;
        EXPECT_EQ(outcome.out, c.out) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Slots, InvalidChannelTest,
    ::testing::Values(InvalidChannelCase{"GetFeatureName", featureName, 1, kUntouched, kUntouched},
                      InvalidChannelCase{"GetFeatureType", featureType, 1, kUntouched, "-1"},
                      InvalidChannelCase{"GetFeatureAttr", featureAttr, 1, kUntouched, kUntouched},
                      InvalidChannelCase{"GetValidEnum", validEnum, 1, kUntouched, ""},
                      InvalidChannelCase{"ReadValueIndexForm", readIndexForm, 0, kUntouched, ""},
                      InvalidChannelCase{"ReadValueNode", readNode, 1, kUntouched, ""},
                      InvalidChannelCase{"ReadValueAdapterVersion", readAdapterVersion, 1, kUntouched, ""},
                      InvalidChannelCase{"WriteValue", writeValue, 1, kUntouched, kUntouched},
                      InvalidChannelCase{"ExecuteCommand", executeCommand, 1,
                                         "Injected failure in ExecuteCommand.(TriggerSoftware)", kUntouched}),
    CaseName());

// Catches an invalid channel that is not remembered as the list's channel, so that
// the valid channel asked next would find the list still built (or an invalid one
// that leaves the previous camera's list in place).
TEST_F(FeatureTest, InvalidChannelEmptiesTheListUntilAValidOneAsks) {
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("Gamma", "Float")}));
    VideoChannelRecord record = channel.record();
    record.channelID = 5;
    aikhost::Channel invalid(record);
    EXPECT_EQ(invalid.getFeatureName(0).rc, 1);
    EXPECT_EQ(invalid.readValue("FeatureName_0").text, "");
    EXPECT_EQ(featureNames(channel),
              (std::vector<std::string>{"AdapterVersion", "Gamma", "Gamma_Min", "Gamma_Max"}));
}

// Catches slots that dereference a null errText on their failure paths.
TEST_F(FeatureTest, NullErrTextIsNeverWritten) {
    aikhost::Channel channel = openCamera(bareCamera({nodeJson("TimerDelay", "Float", "WO")}));
    const VideoChannelRecord& r = channel.record();
    char out[256];
    int32_t type = 0;
    EXPECT_EQ(r.GetFeatureType(nullptr, 0, "Missing", &type), 1);
    EXPECT_EQ(r.GetFeatureAttr(nullptr, 0, "Missing", 1, out), 1);
    EXPECT_EQ(r.GetValidEnum(nullptr, 0, "Missing", 0, out), 1);
    EXPECT_EQ(r.ReadValue(nullptr, 0, "TimerDelay", out), 1);
    EXPECT_EQ(r.ReadValue(nullptr, 0, "Missing", out), 1);
    EXPECT_EQ(r.WriteValue(nullptr, 0, "AdapterVersion", "1"), 1);
    EXPECT_EQ(r.ExecuteCommand(nullptr, 7, "TriggerSoftware"), 1);
}

} // namespace
} // namespace aiktest
