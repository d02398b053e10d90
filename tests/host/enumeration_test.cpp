// Enumerating channels as a host does: device numbers 0, 1, 2, ... until
// GetVideoChannel answers 1, with cameras that open, fail to open, or are absent.
#include "sim/sim_control.h"
#include "tests/support/case_name.h"
#include "tests/support/marked_err_text.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

using EnumerationTest = ModuleFixture;

nlohmann::json refusingCamera(const std::string& model) {
    nlohmann::json camera = cameraJson("Quorvex", model, "refuses");
    camera["openStatus"] = PVX_ERR_ALREADY_OPENED;
    return camera;
}

// Catches the built-in camera set or the default enumeration going wrong as a host
// first meets it, a second enumeration without release that loses channels (cameras
// still open in the library cannot be opened again) or keeps stale ones, and a device
// number compared as signed, so that a huge number passes the bound check and
// indexes past the registry.
TEST_F(EnumerationTest, BuiltInCamerasGiveThreeChannelsEveryTime) {
    for (int round = 0; round < 2; ++round) {
        aikhost::Enumeration enumeration = enumerate();
        ASSERT_EQ(enumeration.channels.size(), 3u) << enumeration.errText;
        EXPECT_EQ(enumeration.errText, "");
        const uint32_t sizes[][2] = {{1280, 1024}, {1920, 1200}, {640, 480}};
        for (std::size_t i = 0; i < 3; ++i) {
            const VideoChannelRecord& record = enumeration.channels[i].record();
            EXPECT_EQ(record.channelID, static_cast<int64_t>(i));
            EXPECT_EQ(record.sensorWidth, sizes[i][0]);
            EXPECT_EQ(record.sensorHeight, sizes[i][1]);
        }
    }
    for (uint32_t deviceNum : {3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_EQ(rcText(getVideoChannel(deviceNum)), RcText(1, "")) << deviceNum;
}

// Catches channel numbers taken from the library's camera index instead of the
// registry position, or a camera that failed to open left in the registry.
TEST_F(EnumerationTest, CameraThatFailsToOpenIsLeftOutAndLaterOnesMoveUp) {
    useCameras({cameraJson("Quorvex", "QX-A", "first"), refusingCamera("QX-B"),
                cameraJson("Quorvex", "QX-C", "third")});
    aikhost::Enumeration enumeration = enumerate();
    ASSERT_EQ(enumeration.channels.size(), 2u);
    EXPECT_EQ(enumeration.errText, "");
    EXPECT_EQ(enumeration.channels[1].id(), 1);
    EXPECT_EQ(enumeration.channels[1].name(), "Quorvex QX-C(AIK)");
    EXPECT_EQ(enumeration.channels[1].description(), "third");
}

struct EmptyCase {
    const char* name;
    nlohmann::json cameras; // null: the built-in ones
    uint32_t deviceNum;
};

class NoChannelTest : public ModuleFixture, public ::testing::WithParamInterface<EmptyCase> {};

// Catches an empty registry reported as a failure (a message in errText) instead of
// the plain "no such channel" answer, a record filled for a camera that is not there,
// or a module that initialises on any device number when the host asks for device 1 first.
TEST_P(NoChannelTest, AnswersOneAndLeavesErrTextAlone) {
    if (!GetParam().cameras.is_null())
        useSimConfig({{"cameras", GetParam().cameras}});
    MarkedErrText errText;
    VideoChannelRecord record{};
    record.recordLevel = AIK_EXTENDED_RECORD_BYTES;
    EXPECT_EQ(callGetVideoChannel(errText.bytes, GetParam().deviceNum, &record), 1);
    EXPECT_TRUE(errText.untouched());
    EXPECT_EQ(record.SetupCommonParams, nullptr);
    EXPECT_EQ(pvxSimCallCount("pvxInitLibrary"), GetParam().deviceNum == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Registries, NoChannelTest,
    ::testing::Values(EmptyCase{"NoCamera", nlohmann::json::array(), 0},
                      EmptyCase{"NoneOpens",
                                nlohmann::json::array({refusingCamera("QX-1"), refusingCamera("QX-2")}), 0},
                      EmptyCase{"DeviceOneFirst", nullptr, 1}),
    CaseName());

} // namespace
} // namespace aiktest
