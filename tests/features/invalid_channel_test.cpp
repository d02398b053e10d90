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
    int32_t rc;
    const char* errText;
    const char* out;
    SlotCall call;
};

int32_t featureType(Record r, int64_t id, char* e, char* o) {
    int32_t type = 77;
    const int32_t rc = r.GetFeatureType(e, id, "Gamma", &type);
    snprintf(o, 256, "%d", type);
    return rc;
}

const InvalidChannelCase kCases[] = {
    {"GetFeatureName", 1, kUntouched, kUntouched,
     [](Record r, int64_t id, char* e, char* o) { return r.GetFeatureName(e, id, 0, o); }},
    {"GetFeatureType", 1, kUntouched, "-1", featureType},
    {"GetFeatureAttr", 1, kUntouched, kUntouched,
     [](Record r, int64_t id, char* e, char* o) { return r.GetFeatureAttr(e, id, "AdapterVersion", 1, o); }},
    {"GetValidEnum", 1, kUntouched, "",
     [](Record r, int64_t id, char* e, char* o) { return r.GetValidEnum(e, id, "TestPattern", 0, o); }},
    {"ReadValueIndexForm", 0, kUntouched, "",
     [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "FeatureName_0", o); }},
    {"ReadValueNode", 1, kUntouched, "",
     [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "Gamma", o); }},
    {"ReadValueAdapterVersion", 1, kUntouched, "",
     [](Record r, int64_t id, char* e, char* o) { return r.ReadValue(e, id, "AdapterVersion", o); }},
    {"WriteValue", 1, kUntouched, kUntouched,
     [](Record r, int64_t id, char* e, char*) { return r.WriteValue(e, id, "Gamma", "1.5"); }},
    {"ExecuteCommand", 1, "Injected failure in ExecuteCommand.(TriggerSoftware)", kUntouched,
     [](Record r, int64_t id, char* e, char*) { return r.ExecuteCommand(e, id, "TriggerSoftware"); }},
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

} // namespace
} // namespace aiktest
