// The seven feature slots called with a channel that names no camera: each answers
// in its own way, and none writes "INVALID PARAMETER.".
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

#include <cstdio>

namespace aiktest {
namespace {

constexpr const char* kUntouched = "untouched";

using Record = const VideoChannelRecord&;

// A slot called with a channel, errText and its text out-buffer; the type slot
// writes its code as text into the out-buffer.
using SlotCall = int32_t (*)(Record r, int64_t id, char* errText, char* out);

struct InvalidChannelCase {
    const char* name;
    SlotCall call;
    int32_t rc;
    const char* errText;
    const char* out;
};

int32_t featureType(Record r, int64_t id, char* e, char* o) {
    int32_t type = 77;
    const int32_t rc = r.GetFeatureType(e, id, "Gamma", &type);
    snprintf(o, 256, "%d", type);
    return rc;
}

const InvalidChannelCase kCases[] = {
    {"GetFeatureName", [](Record r, int64_t id, char* e, char* o) { return r.GetFeatureName(e, id, 0, o); },
     1, kUntouched, kUntouched},
    {"GetFeatureType", featureType, 1, kUntouched, "-1"},
    {"GetFeatureAttr",
     [](Record r, int64_t id, char* e, char* o) { return r.GetFeatureAttr(e, id, "AdapterVersion", 1, o); },
     1, kUntouched, kUntouched},
    {"GetValidEnum",
     [](Record r, int64_t id, char* e, char* o) { return r.GetValidEnum(e, id, "TestPattern", 0, o); }, 1,
     kUntouched, ""},
    {"ReadValueIndexForm",
     [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "FeatureName_0", o); }, 0,
     kUntouched, ""},
    {"ReadValueNode", [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "Gamma", o); },
     1, kUntouched, ""},
    {"ReadValueAdapterVersion",
     [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "AdapterVersion", o); }, 1,
     kUntouched, ""},
    {"WriteValue", [](Record r, int64_t id, char* e, char*) { return r.WriteValue(e, id, "Gamma", "1.5"); },
     1, kUntouched, kUntouched},
    {"ExecuteCommand",
     [](Record r, int64_t id, char* e, char*) { return r.ExecuteCommand(e, id, "TriggerSoftware"); }, 1,
     "Injected failure in ExecuteCommand.(TriggerSoftware)", kUntouched},
};

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
        // errText and the out-buffer prefilled, to see what the slot writes.
        char errText[256] = "untouched";
        char out[256] = "untouched";
        EXPECT_EQ(c.call(channels[0].record(), id, errText, out), c.rc) << id;
        EXPECT_STREQ(errText, c.errText) << id;
        EXPECT_STREQ(out, c.out) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Slots, InvalidChannelTest, ::testing::ValuesIn(kCases), CaseName());

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

} // namespace
} // namespace aiktest
