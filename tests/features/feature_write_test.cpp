// WriteValue and ExecuteCommand: text conversions by node type, the float
// out-of-range nudge, access refusals, the settings refresh after every write, and
// command completion polling.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

nlohmann::json writeCamera() {
    return bareCamera(
        {nodeJson("TimerDuration", "Integer", "RW",
                  {{"value", 5}, {"min", -10000000000LL}, {"max", 10000000000LL}}),
         nodeJson("Gamma", "Float", "RW", {{"value", 1.5}, {"min", 1.0}, {"max", 2.0}, {"precision", 1}}),
         nodeJson("LineModeAll", "Integer", "RO"),
         nodeJson("LineInverterAll", "Boolean", "RW", {{"value", true}}),
         nodeJson("UserOutputValueAll", "Boolean", "RW", {{"value", false}}),
         nodeJson("TriggerSoftware", "Command", "WO"), nodeJson("DeviceUserID", "String"),
         enumJson("TriggerSequence", "Timed", {{"Timed", "RW"}, {"Burst", "RW"}}),
         nodeJson("TimerDelay", "Float", "NA"), nodeJson("LineStatusAll", "Register", "RW")});
}

constexpr const char* kSetFloat = "pvxSetFloatValue";

// A refusal of every call of the operation, with the camera library's error text.
std::vector<nlohmann::json> refusal(const char* call, PvxStatus status, const char* text = "") {
    nlohmann::json fault = faultJson(call, status);
    if (*text != '\0')
        fault["errorText"] = text;
    return {fault};
}

// The errText of a failure that is the camera library's: the injected failure text
// naming the slot and the feature.
constexpr const char* kInjected = nullptr;

struct WriteCase {
    const char* name;
    const char* feature;
    const char* text;
    const char* errText;                     // "" for success
    const char* readBack;                    // nullptr: nothing to read back
    int64_t setCalls = -1;                   // of pvxSetFloatValue, when counted
    std::vector<nlohmann::json> faults = {}; // on library calls, whatever the camera
};

class WriteValueTest : public FeatureTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteValueTest, WriteOfFeature) {
    const WriteCase& c = GetParam();
    useCamera(writeCamera(), c.faults);
    const uint64_t before = simCallCount(kSetFloat);
    const std::string injected = std::string("Injected failure in WriteValue.(") + c.feature + ")";
    const std::string errText = c.errText ? c.errText : injected;
    EXPECT_EQ(rcText(channel().writeValue(c.feature, c.text)), RcText(errText.empty() ? 0 : 1, errText));
    if (c.setCalls >= 0) {
        EXPECT_EQ(simCallCount(kSetFloat) - before, static_cast<uint64_t>(c.setCalls));
    }
    if (c.readBack != nullptr) {
        EXPECT_EQ(channel().readValue(c.feature).text, c.readBack);
    }
}

// Catches a missing nudge, a nudge in the wrong direction or of the wrong size (one
// full unit of the last decimal would let 2.1 through), or more than one retry.
const WriteCase kFloatCases[] = {
    {"Inside", "Gamma", "1.75", "", "1.8", 1},
    {"LeadingNumberOnly", "Gamma", "1.3xyz", "", "1.3", 1},
    {"JustAboveNudgedDown", "Gamma", "2.05", "", "2.0", 2},
    {"JustBelowNudgedUp", "Gamma", "0.95", "", "1.0", 2},
    {"OneUnitAboveStaysOut", "Gamma", "2.1", kInjected, "1.5", 2},
    {"OneUnitBelowStaysOut", "Gamma", "0.9", kInjected, "1.5", 2},
    {"NoNumberIsZeroThenOut", "Gamma", "abc", kInjected, "1.5", 2},
    // No retry after a refusal that is not PVX_ERR_GENICAM, after one whose text names no
    // direction, or after the precision or error text could not be read; and a failed
    // retry is not hidden.
    {"NeitherWord", "Gamma", "2.05", kInjected, nullptr, 1,
     refusal(kSetFloat, PVX_ERR_GENICAM, "value rejected")},
    {"OtherStatus", "Gamma", "2.05", kInjected, nullptr, 1,
     refusal(kSetFloat, PVX_ERR_INVALID_PARAMETER, "must be smaller")},
    {"PrecisionUnknown", "Gamma", "2.05", kInjected, nullptr, 1,
     refusal("pvxGetFloatPrecision", PVX_ERR_GENICAM)},
    {"ErrorTextUnknown", "Gamma", "2.05", kInjected, nullptr, 1,
     refusal("pvxGetLastErrorText", PVX_ERR_NOT_IMPLEMENTED)},
    {"FailedRetry", "Gamma", "0.95", kInjected, "1.5", 2,
     refusal(kSetFloat, PVX_ERR_GENICAM, "must be greater or equal")},
};
INSTANTIATE_TEST_SUITE_P(Floats, WriteValueTest, ::testing::ValuesIn(kFloatCases), CaseName());

// Catches an integer conversion other than a 32-bit atol: trailing text rejected,
// no digits not giving 0, blanks or signs refused, or numbers beyond 32 bits passed
// through instead of stopping at the limit.
const WriteCase kIntegerCases[] = {
    {"DigitsThenLetters", "TimerDuration", "12abc", "", "12"},
    {"NoDigits", "TimerDuration", "abc", "", "0"},
    {"Empty", "TimerDuration", "", "", "0"},
    {"LeadingBlanksAndSign", "TimerDuration", "  -7", "", "-7"},
    {"PlusSign", "TimerDuration", "+8", "", "8"},
    {"Beyond32Bits", "TimerDuration", "99999999999", "", "2147483647"},
    {"Below32Bits", "TimerDuration", "-99999999999", "", "-2147483648"},
};
INSTANTIATE_TEST_SUITE_P(Integers, WriteValueTest, ::testing::ValuesIn(kIntegerCases), CaseName());

// Catches a boolean conversion that ignores case, trims blanks or accepts other
// truthy texts: only the exact text "True" writes true.
const WriteCase kBooleanCases[] = {
    {"ExactTrue", "UserOutputValueAll", "True", "", "True"},
    {"LowerCase", "LineInverterAll", "true", "", "False"},
    {"TrailingBlank", "LineInverterAll", "True ", "", "False"},
    {"One", "LineInverterAll", "1", "", "False"},
    {"False", "LineInverterAll", "False", "", "False"},
};
INSTANTIATE_TEST_SUITE_P(Booleans, WriteValueTest, ::testing::ValuesIn(kBooleanCases), CaseName());

// Catches writes by type that fail or succeed wrongly, access refusals with the
// wrong text, and writes that apply companion or adapter-feature handling (which
// writes do not know).
const WriteCase kWriteCases[] = {
    {"String", "DeviceUserID", "left camera", "", "left camera"},
    {"EnumerationSymbol", "TriggerSequence", "Burst", "", "Burst"},
    {"UnknownSymbol", "TriggerSequence", "Plaid", kInjected, nullptr},
    {"CommandChangesNothing", "TriggerSoftware", "anything", "", nullptr},
    {"ReadOnly", "LineModeAll", "320", "Feature LineModeAll is not writable.", nullptr},
    {"NotAvailable", "TimerDelay", "1.0", "Feature TimerDelay is not writable.", nullptr},
    {"Register", "LineStatusAll", "1", kInjected, nullptr},
    {"Companion", "Gamma_Min", "1.0", kInjected, nullptr},
    {"AdapterVersion", "AdapterVersion", "2.0.0.0", kInjected, nullptr},
    {"MissingNode", "ExposureTimeControl", "On", kInjected, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Features, WriteValueTest, ::testing::ValuesIn(kWriteCases), CaseName());

using WriteTest = FeatureTest;

// Catches the settings refresh skipped after a refused or failed write, or made for
// a channel without a camera.
TEST_F(WriteTest, EveryWriteAttemptRefreshesTheSettings) {
    useCamera(writeCamera());
    const int64_t valid = channel().id();
    for (const int64_t id : {valid, int64_t{9}}) {
        for (const char* feature : {"TimerDuration", "LineModeAll", "ExposureTimeControl", "Gamma"}) {
            const uint64_t before = simCallCount("pvxGetOffsetXRange");
            channel().record().WriteValue(nullptr, id, feature, "3");
            EXPECT_EQ(simCallCount("pvxGetOffsetXRange") - before, id == valid ? 1u : 0u)
                << id << " " << feature;
        }
    }
}

struct CommandCase {
    const char* name;
    const char* feature;
    int doneAfterPolls;
    const char* faultCall; // refused with PVX_ERR_GENICAM, or ""
    uint64_t polls;
};

class CommandTest : public FeatureTest, public ::testing::WithParamInterface<CommandCase> {};

// Catches a poll loop that stops too early, waits without bound for a command that
// never completes, or reports such a command as a failure; and a failed lookup,
// execution or completion query reported as success.
TEST_P(CommandTest, PollsUntilDoneOrTenTimes) {
    const CommandCase& c = GetParam();
    nlohmann::json camera =
        bareCamera({nodeJson("TriggerSoftware", "Command", "WO", {{"doneAfterPolls", c.doneAfterPolls}})});
    if (c.faultCall[0] != '\0')
        camera["faults"] = {faultJson(c.faultCall, PVX_ERR_GENICAM)};
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
