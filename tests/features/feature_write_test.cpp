// WriteValue and ExecuteCommand: text conversions by node type, the float
// out-of-range nudge, access refusals, the settings refresh after every write, and
// command completion polling.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

nlohmann::json limited(nlohmann::json node, const nlohmann::json& value, const nlohmann::json& min,
                       const nlohmann::json& max) {
    node.update({{"value", value}, {"min", min}, {"max", max}});
    return node;
}

nlohmann::json gammaNode(int precision) {
    nlohmann::json node = limited(nodeJson("Gamma", "Float"), 1.5, 1.0, 2.0);
    node["precision"] = precision;
    return node;
}

nlohmann::json writeCamera() {
    nlohmann::json readOnly = limited(nodeJson("LineModeAll", "Integer", "RO"), 640, 0, 10000);
    return bareCamera({limited(nodeJson("TimerDuration", "Integer"), 5, -10000000000LL, 10000000000LL),
                       gammaNode(1), readOnly, nodeJson("LineInverterAll", "Boolean"),
                       nodeJson("TriggerSoftware", "Command", "WO"), nodeJson("DeviceUserID", "String"),
                       enumJson("TriggerSequence", "Timed", {{"Timed", "RW"}, {"Burst", "RW"}}),
                       nodeJson("TimerDelay", "Float", "NA"), nodeJson("LineStatusAll", "Register", "RW")});
}

class WriteTest : public FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        useCamera(writeCamera());
    }
    std::string readBack(const std::string& feature) const { return channel().readValue(feature).text; }
};

nlohmann::json withText(nlohmann::json fault, const std::string& text) {
    fault["errorText"] = text;
    return fault;
}

struct RefusalCase {
    const char* name;
    nlohmann::json fault; // on every call of the operation, whatever the camera
    const char* text;
    uint64_t setCalls;
};

class FloatRefusalTest : public FeatureTest, public ::testing::WithParamInterface<RefusalCase> {};

// Catches a retry after a refusal that is not 258, after one whose text names no
// direction, or after the precision or error text could not be read; and a retry
// whose failure is hidden: when the nudged value is refused too, the write fails
// and the node keeps its value.
TEST_P(FloatRefusalTest, RefusalFailsTheWrite) {
    const RefusalCase& c = GetParam();
    std::vector<aikhost::Channel> channels = openCameras({bareCamera({gammaNode(6)})}, {c.fault});
    ASSERT_EQ(channels.size(), 1u);
    const uint64_t before = simCallCount("pvxSetFloatValue");
    EXPECT_EQ(rcText(channels[0].writeValue("Gamma", c.text)),
              RcText(1, "Injected failure in WriteValue.(Gamma)"));
    EXPECT_EQ(simCallCount("pvxSetFloatValue") - before, c.setCalls);
    if (c.setCalls == 2) {
        EXPECT_EQ(channels[0].readValue("Gamma").text, "1.500000");
    }
}

const RefusalCase kRefusalCases[] = {
    {"NeitherWord", withText(nodeFault("pvxSetFloatValue", 258), "value rejected"), "2.0000001", 1},
    {"OtherStatus", withText(nodeFault("pvxSetFloatValue", 13), "must be smaller"), "2.0000001", 1},
    {"PrecisionUnknown", nodeFault("pvxGetFloatPrecision", 258), "2.0000001", 1},
    {"ErrorTextUnknown", nodeFault("pvxGetLastErrorText", 17), "2.0000001", 1},
    {"FailedRetry", withText(nodeFault("pvxSetFloatValue", 258), "must be greater or equal"), "0.9999999", 2},
};

INSTANTIATE_TEST_SUITE_P(Refusals, FloatRefusalTest, ::testing::ValuesIn(kRefusalCases), CaseName());

struct WriteCase {
    const char* name;
    const char* feature;
    const char* before; // written first, or nullptr
    const char* text;
    int32_t rc;
    const char* errText;
    const char* readBack;  // nullptr: nothing to read back
    int64_t setCalls = -1; // of pvxSetFloatValue, when counted
};

class WriteValueTest : public WriteTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteValueTest, WriteOfFeature) {
    const WriteCase& c = GetParam();
    if (c.before != nullptr) {
        ASSERT_EQ(channel().writeValue(c.feature, c.before).rc, 0);
    }
    const uint64_t before = simCallCount("pvxSetFloatValue");
    EXPECT_EQ(rcText(channel().writeValue(c.feature, c.text)), RcText(c.rc, c.errText));
    if (c.setCalls >= 0) {
        EXPECT_EQ(simCallCount("pvxSetFloatValue") - before, static_cast<uint64_t>(c.setCalls));
    }
    if (c.readBack != nullptr) {
        EXPECT_EQ(readBack(c.feature), c.readBack);
    }
}

// Catches a missing nudge, a nudge in the wrong direction or of the wrong size (one
// full unit of the last decimal would let 2.1 through), or more than one retry.
const WriteCase kFloatCases[] = {
    {"Inside", "Gamma", nullptr, "1.75", 0, "", "1.8", 1},
    {"LeadingNumberOnly", "Gamma", nullptr, "1.3xyz", 0, "", "1.3", 1},
    {"JustAboveNudgedDown", "Gamma", nullptr, "2.05", 0, "", "2.0", 2},
    {"JustBelowNudgedUp", "Gamma", nullptr, "0.95", 0, "", "1.0", 2},
    {"OneUnitAboveStaysOut", "Gamma", nullptr, "2.1", 1, "Injected failure in WriteValue.(Gamma)", "1.5", 2},
    {"OneUnitBelowStaysOut", "Gamma", nullptr, "0.9", 1, "Injected failure in WriteValue.(Gamma)", "1.5", 2},
    {"NoNumberIsZeroThenOut", "Gamma", nullptr, "abc", 1, "Injected failure in WriteValue.(Gamma)", "1.5", 2},
};
INSTANTIATE_TEST_SUITE_P(Floats, WriteValueTest, ::testing::ValuesIn(kFloatCases), CaseName());

// Catches an integer conversion other than a 32-bit atol: trailing text rejected,
// no digits not giving 0, blanks or signs refused, or numbers beyond 32 bits passed
// through instead of stopping at the limit.
const WriteCase kIntegerCases[] = {
    {"DigitsThenLetters", "TimerDuration", nullptr, "12abc", 0, "", "12"},
    {"NoDigits", "TimerDuration", nullptr, "abc", 0, "", "0"},
    {"Empty", "TimerDuration", nullptr, "", 0, "", "0"},
    {"LeadingBlanksAndSign", "TimerDuration", nullptr, "  -7", 0, "", "-7"},
    {"PlusSign", "TimerDuration", nullptr, "+8", 0, "", "8"},
    {"Beyond32Bits", "TimerDuration", nullptr, "99999999999", 0, "", "2147483647"},
    {"Below32Bits", "TimerDuration", nullptr, "-99999999999", 0, "", "-2147483648"},
};
INSTANTIATE_TEST_SUITE_P(Integers, WriteValueTest, ::testing::ValuesIn(kIntegerCases), CaseName());

// Catches a boolean conversion that ignores case, trims blanks or accepts other
// truthy texts: only the exact text "True" writes true.
const WriteCase kBooleanCases[] = {
    {"ExactTrue", "LineInverterAll", "False", "True", 0, "", "True"},
    {"LowerCase", "LineInverterAll", "True", "true", 0, "", "False"},
    {"TrailingBlank", "LineInverterAll", "True", "True ", 0, "", "False"},
    {"UpperCase", "LineInverterAll", "True", "TRUE", 0, "", "False"},
    {"One", "LineInverterAll", "True", "1", 0, "", "False"},
    {"False", "LineInverterAll", "True", "False", 0, "", "False"},
};
INSTANTIATE_TEST_SUITE_P(Booleans, WriteValueTest, ::testing::ValuesIn(kBooleanCases), CaseName());

// Catches writes by type that fail or succeed wrongly, access refusals with the
// wrong text, and writes that apply companion or adapter-feature handling (which
// writes do not know).
const WriteCase kWriteCases[] = {
    {"String", "DeviceUserID", nullptr, "left camera", 0, "", "left camera"},
    {"EnumerationSymbol", "TriggerSequence", nullptr, "Burst", 0, "", "Burst"},
    {"UnknownSymbol", "TriggerSequence", nullptr, "Plaid", 1,
     "Injected failure in WriteValue.(TriggerSequence)", nullptr},
    {"CommandChangesNothing", "TriggerSoftware", nullptr, "anything", 0, "", nullptr},
    {"ReadOnly", "LineModeAll", nullptr, "320", 1, "Feature LineModeAll is not writable.", nullptr},
    {"NotAvailable", "TimerDelay", nullptr, "1.0", 1, "Feature TimerDelay is not writable.", nullptr},
    {"Register", "LineStatusAll", nullptr, "1", 1, "Injected failure in WriteValue.(LineStatusAll)", nullptr},
    {"Companion", "Gamma_Min", nullptr, "1.0", 1, "Injected failure in WriteValue.(Gamma_Min)", nullptr},
    {"AdapterVersion", "AdapterVersion", nullptr, "2.0.0.0", 1,
     "Injected failure in WriteValue.(AdapterVersion)", nullptr},
    {"MissingNode", "ExposureTimeControl", nullptr, "On", 1,
     "Injected failure in WriteValue.(ExposureTimeControl)", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Features, WriteValueTest, ::testing::ValuesIn(kWriteCases), CaseName());

// Catches the settings refresh skipped after a refused or failed write, or made for
// a channel without a camera.
TEST_F(WriteTest, EveryWriteAttemptRefreshesTheSettings) {
    const char* const refreshCall = "pvxGetOffsetXRange";
    struct Attempt {
        const char* feature;
        const char* text;
        uint64_t refreshes;
    };
    for (const Attempt& attempt : {Attempt{"TimerDuration", "3", 1}, Attempt{"LineModeAll", "3", 1},
                                   Attempt{"ExposureTimeControl", "3", 1}, Attempt{"Gamma", "9", 1}}) {
        const uint64_t before = simCallCount(refreshCall);
        channel().writeValue(attempt.feature, attempt.text);
        EXPECT_EQ(simCallCount(refreshCall) - before, attempt.refreshes) << attempt.feature;
    }
    const uint64_t before = simCallCount(refreshCall);
    char errText[256] = "untouched";
    EXPECT_EQ(channel().record().WriteValue(errText, 9, "TimerDuration", "3"), 1);
    EXPECT_STREQ(errText, "untouched");
    EXPECT_EQ(simCallCount(refreshCall), before);
}

struct CommandCase {
    const char* name;
    const char* feature;
    int doneAfterPolls;
    const char* faultCall; // refused with 258, or ""
    uint64_t polls;
};

class CommandTest : public FeatureTest, public ::testing::WithParamInterface<CommandCase> {};

// Catches a poll loop that stops too early, waits without bound for a command that
// never completes, or reports such a command as a failure; and a failed lookup,
// execution or completion query reported as success.
TEST_P(CommandTest, PollsUntilDoneOrTenTimes) {
    const CommandCase& c = GetParam();
    nlohmann::json command = nodeJson("TriggerSoftware", "Command", "WO");
    command["doneAfterPolls"] = c.doneAfterPolls;
    nlohmann::json camera = bareCamera({command});
    if (c.faultCall[0] != '\0')
        camera["faults"] = {nodeFault(c.faultCall, 258)};
    aikhost::Channel channel = openCamera(camera);
    const uint64_t before = simCallCount("pvxIsCommandDone");
    const bool fails = c.faultCall[0] != '\0' || std::string(c.feature) != "TriggerSoftware";
    EXPECT_EQ(rcText(channel.executeCommand(c.feature)),
              fails ? RcText(1, std::string("Injected failure in ExecuteCommand.(") + c.feature + ")")
                    : RcText(0, ""));
    if (!fails) {
        EXPECT_EQ(simCallCount("pvxIsCommandDone") - before, c.polls);
    }
}

const CommandCase kCommandCases[] = {
    {"DoneAtFirstPoll", "TriggerSoftware", 1, "", 1},
    {"DoneAtThirdPoll", "TriggerSoftware", 3, "", 3},
    {"DoneAtTenthPoll", "TriggerSoftware", 10, "", 10},
    {"NeverDone", "TriggerSoftware", 0, "", 10},
    {"MissingNode", "TriggerSource", 1, "", 0},
    {"Execute", "TriggerSoftware", 1, "pvxExecuteCommand", 0},
    {"DoneQuery", "TriggerSoftware", 1, "pvxIsCommandDone", 0},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandTest, ::testing::ValuesIn(kCommandCases), CaseName());

} // namespace
} // namespace aiktest
