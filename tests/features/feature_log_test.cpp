// The log lines of the feature slots as a configured module writes them: the ENTER
// and EXIT texts and their levels, and the feature list's trace.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"
#include "tests/support/sdk_log.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace aiktest {
namespace {

nlohmann::json loggedCamera() {
    return bareCamera({nodeJson("DeviceModelName", "String", "RO"),
                       nodeJson("Gamma", "Float", "RW", {{"value", 1.5}, {"precision", 2}}),
                       nodeJson("TriggerSoftware", "Command", "WO"),
                       enumJson("TriggerSequence", "Timed", {{"Timed", "RW"}, {"Burst", "RW"}})});
}

using Ch = const aikhost::Channel&;

// The module loads after the log is configured: the fixture loads it on first use.
class FeatureLogTest : public FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        m_log.emplace(folder());
        useCamera(loggedCamera());
    }
    void TearDown() override {
        FeatureTest::TearDown();
        m_log.reset();
    }

    std::vector<std::string> logLines() const { return m_log->lines(); }
    // The lines one call adds to the log.
    std::vector<std::string> linesOf(const std::function<void(Ch)>& call) const {
        const size_t before = logLines().size();
        call(channel());
        std::vector<std::string> lines = logLines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(before, lines.size())), lines.end()};
    }

    std::optional<SdkLog> m_log;
};

struct LogCase {
    const char* name;
    std::function<void(Ch)> call;
    const char* enter;
    const char* exit; // nullptr: no EXIT line
};

class FeatureSlotLogTest : public FeatureLogTest, public ::testing::WithParamInterface<LogCase> {};

// Catches an ENTER or EXIT text that differs from what log readers search for, an
// EXIT at the wrong level (WARN for an index beyond the list, ERROR for failures),
// or an EXIT line written where none belongs.
TEST_P(FeatureSlotLogTest, EnterAndExitLines) {
    std::vector<std::string> expected{GetParam().enter};
    if (GetParam().exit != nullptr)
        expected.push_back(GetParam().exit);
    EXPECT_EQ(linesOf(GetParam().call), expected);
}

const LogCase kLogCases[] = {
    {"FeatureNameFound", [](Ch c) { c.getFeatureName(2); },
     "INFO|ENTER: GetFeatureName, channelID=0, index=2", "INFO|EXIT : GetFeatureName, feature = Gamma"},
    {"FeatureNameBeyondList", [](Ch c) { c.getFeatureName(99); },
     "INFO|ENTER: GetFeatureName, channelID=0, index=99", "WARN|EXIT : GetFeatureName"},
    {"FeatureType", [](Ch c) { c.getFeatureType("Gamma_Min"); },
     "INFO|ENTER: GetFeatureType, channelID=0, feature=Gamma_Min", "INFO|EXIT : GetFeatureType, type=3"},
    {"FeatureTypeFailure", [](Ch c) { c.getFeatureType("Missing"); },
     "INFO|ENTER: GetFeatureType, channelID=0, feature=Missing", "ERROR|EXIT : GetFeatureType, type=-1"},
    {"FeatureAttr", [](Ch c) { c.getFeatureAttr("Gamma", 2); },
     "INFO|ENTER: GetFeatureAttr, channelID=0, feature=Gamma, attr=2",
     "INFO|EXIT : GetFeatureAttr, result=True"},
    {"ValidEnum", [](Ch c) { c.getValidEnum("TriggerSequence", 1); },
     "INFO|ENTER: GetValidEnum, channelID=0, feature=TriggerSequence, enumIndex=1",
     "INFO|EXIT : GetValidEnum, value=Burst"},
    {"ReadValue", [](Ch c) { c.readValue("Gamma"); }, "INFO|ENTER: ReadValue, channelID=0, addr=Gamma",
     "INFO|EXIT : ReadValue, val=1.50"},
    {"ReadValueFailure", [](Ch c) { c.readValue("Missing"); },
     "INFO|ENTER: ReadValue, channelID=0, addr=Missing", "ERROR|EXIT : ReadValue, val="},
    {"WriteValue", [](Ch c) { c.writeValue("Gamma", "2.5"); },
     "INFO|ENTER: WriteValue, channelID=0, addr=Gamma, val=2.5", "INFO|EXIT : WriteValue"},
    {"WriteValueInvalidChannel", [](Ch c) { c.record().WriteValue(nullptr, 4, "Gamma", "2.5"); },
     "INFO|ENTER: WriteValue, channelID=4, addr=Gamma, val=2.5", nullptr},
    {"ExecuteCommand", [](Ch c) { c.executeCommand("TriggerSoftware"); },
     "INFO|ENTER: ExecuteCommand, channelID=0, feature=TriggerSoftware", "INFO|EXIT : ExecuteCommand"},
    {"ExecuteCommandFailure", [](Ch c) { c.executeCommand("Gamma"); },
     "INFO|ENTER: ExecuteCommand, channelID=0, feature=Gamma", "ERROR|EXIT : ExecuteCommand"},
};

INSTANTIATE_TEST_SUITE_P(Slots, FeatureSlotLogTest, ::testing::ValuesIn(kLogCases), CaseName());

// Catches a trace that shows the position in the list instead of the catalogue index
// (DeviceModelName is catalogue entry 3 but list entry 1 here), or a rebuild that is
// not traced with its channel; and a channel without a camera that empties the list
// without being remembered as its channel, so the valid channel asking next finds no
// list to rebuild.
TEST_F(FeatureLogTest, ListRebuildTracesCatalogueIndices) {
    char feature[256];
    channel().record().GetFeatureName(nullptr, 1, 0, feature); // a channel without a camera
    EXPECT_EQ(linesOf([](Ch c) { c.getFeatureName(0); }),
              (std::vector<std::string>{
                  "INFO|ENTER: GetFeatureName, channelID=0, index=0", "  <UpdateFeatures> channelID = 0",
                  "   index = 0 feature = AdapterVersion", "   index = 3 feature = DeviceModelName",
                  "   index = 24 feature = Gamma", "   index = 25 feature = Gamma_Min",
                  "   index = 26 feature = Gamma_Max", "   index = 27 feature = TriggerSequence",
                  "   index = 32 feature = TriggerSoftware",
                  "INFO|EXIT : GetFeatureName, feature = AdapterVersion"}));
}

} // namespace
} // namespace aiktest
