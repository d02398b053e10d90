// The fixed words the module hands the camera library, as the library receives them:
// open, exposure control, stream open and start, and the stop sequence's register
// write wherever a stream is stopped.
#include "tests/acquisition/acquisition_fixture.h"

#include "sim/sim_control.h"

#include <functional>

namespace aiktest {
namespace {

constexpr uint64_t kStopRegister = 0x0020303C;

std::vector<uint64_t> lastArguments(const char* operation) {
    uint64_t arguments[8] = {};
    const uint32_t count = pvxSimLastArguments(operation, arguments, 8);
    return {arguments, arguments + (count < 8 ? count : 8)};
}

using LibraryArgumentsTest = AcquisitionFixture;

// Catches a changed reserved word, exclusivity or mode at open, another exposure mode,
// or a stream with another buffer count or flags.
TEST_F(LibraryArgumentsTest, OpenExposureControlAndStreamWordsAreFixed) {
    openCameras({gridCamera(64, 32), gridCamera(64, 32)});
    EXPECT_EQ(lastArguments("pvxOpenCamera"), (std::vector<uint64_t>{1, 0, 1, 0, 1}));
    EXPECT_EQ(lastArguments("pvxSetExposureControl"), (std::vector<uint64_t>{1}));
    startWholeSensor(channel(1));
    EXPECT_EQ(lastArguments("pvxOpenStream"), (std::vector<uint64_t>{8, 0}));
    EXPECT_EQ(lastArguments("pvxStartStream"), (std::vector<uint64_t>{8}));
}

struct StopPlace {
    const char* name;
    int way; // 0 StopAcquisition, 1 ReleaseVideoChannel, 2 GetVideoChannel(0) again
    bool closeStreamFails;
    int64_t registerWrites; // each one a stop sequence
    int64_t streamCloses;
};

class StopSequenceTest : public LibraryArgumentsTest, public ::testing::WithParamInterface<StopPlace> {};

// Catches a stop path that skips the acquisition-stop register, writes another
// address, value or word count, or skips a stop sequence or close that a stream
// which would not close still needs.
TEST_P(StopSequenceTest, WritesZeroToTheStopRegisterBeforeEveryStreamStop) {
    nlohmann::json camera = gridCamera(64, 32);
    if (GetParam().closeStreamFails)
        camera["faults"] = {faultJson("pvxCloseStream", PVX_ERR_CAMERA_NOT_RESPONDING)};
    openCameras({camera});
    startWholeSensor(channel());
    ASSERT_TRUE(waitForImage(channel()));
    resetCalls();
    switch (GetParam().way) {
    case 0:
        EXPECT_EQ(channel().stopAcquisition().rc, GetParam().closeStreamFails ? 1 : 0);
        break;
    case 1:
        EXPECT_EQ(channel().releaseVideoChannel().rc, 0);
        break;
    default:
        EXPECT_EQ(getVideoChannel(0).rc, 0);
    }
    EXPECT_EQ(calls("pvxWriteRegister"), GetParam().registerWrites);
    EXPECT_EQ(calls("pvxStopStream"), GetParam().registerWrites);
    EXPECT_EQ(calls("pvxCloseStream"), GetParam().streamCloses);
    EXPECT_EQ(lastArguments("pvxWriteRegister"), (std::vector<uint64_t>{kStopRegister, 1, 0}));
}

INSTANTIATE_TEST_SUITE_P(Places, StopSequenceTest,
                         ::testing::Values(StopPlace{"StopAcquisition", 0, false, 2, 1},
                                           StopPlace{"ReleaseVideoChannel", 1, false, 2, 1},
                                           StopPlace{"DeviceZeroAgain", 2, false, 2, 1},
                                           StopPlace{"ReleaseWhenTheStreamWillNotClose", 1, true, 4, 2}),
                         [](const ::testing::TestParamInfo<StopPlace>& place) {
                             return std::string(place.param.name);
                         });

using ChannelIdTest = AcquisitionFixture;

// Catches a channel check on the whole 64-bit identifier, a signed reading of its low
// 32 bits, a slot that reaches past the registry, and a refusal that writes acqResult,
// the host's record, or a missing error-text buffer: only the low word, unsigned,
// names a position.
TEST_F(ChannelIdTest, SlotsUseTheLowWordUnsigned) {
    openCameras({gridCamera(64, 32)});
    const VideoChannelRecord& r = channel().record();
    char errText[256] = {}, value[256] = {};
    uint32_t acqResult = 0;
    for (const int64_t id : {int64_t{1} << 32, INT64_MIN, int64_t{7} << 40}) {
        SCOPED_TRACE(id);
        ASSERT_EQ(r.StartAcquisition(errText, id), 0) << errText;
        EXPECT_EQ(r.WaitForIntegration(errText, id, &acqResult), 0) << errText;
        EXPECT_EQ(r.StopAcquisition(errText, id), 0) << errText;
    }
    ImageAttributes attributes{};
    const CommonParamsRecord params = regionParams(0, 0, 64, 32);
    for (const int64_t id :
         {int64_t{1}, int64_t{-1}, (int64_t{1} << 32) + 1, int64_t{0x7FFFFFFF}, INT64_MAX}) {
        for (char* const err : {errText, static_cast<char*>(nullptr)}) {
            SCOPED_TRACE(std::to_string(id) + (err ? "" : " without errText"));
            for (const auto& call : std::vector<std::function<int32_t()>>{
                     [&] { return r.SetupCommonParams(err, id, &params); },
                     [&] { return r.GetImageAttributes(err, id, &attributes, &acqResult); },
                     [&] { return r.StartAcquisition(err, id); }, [&] { return r.StopAcquisition(err, id); },
                     [&] { return r.WaitForIntegration(err, id, &acqResult); },
                     [&] { return r.GetImage(err, id, value, &acqResult); }}) {
                errText[0] = '\0';
                acqResult = 0xDEADBEEF;
                attributes.width = -7;
                EXPECT_EQ(call(), 1);
                EXPECT_STREQ(errText, err ? "INVALID PARAMETER." : "");
                EXPECT_EQ(acqResult, 0xDEADBEEFu);
                EXPECT_EQ(attributes.width, -7);
            }
            EXPECT_EQ(r.ExecuteCommand(err, id, "TriggerSoftware"), 1);
            EXPECT_EQ(r.ReadValue(err, id, "Gamma", value), 1);
            EXPECT_EQ(r.WriteValue(err, id, "Gamma", "1"), 1);
            EXPECT_EQ(r.GetFeatureName(err, id, 0, value), 1);
        }
    }
}

using WaitBoundTest = AcquisitionFixture;

// Catches a wait cut short of its 10 ms bound (a time left rounded down) or one that
// hangs: measured as a bound, with room above for a loaded machine.
TEST_F(WaitBoundTest, WaitsTheFullTenMillisecondsWhenNoImageCompletes) {
    openCameras({gridCamera(64, 32)});
    CommonParamsRecord params = regionParams(0, 0, 64, 32);
    params.acqContinuous = 0;
    params.acqTriggered = 1; // and no trigger ever comes
    ASSERT_EQ(channel().setupCommonParams(params).rc, 0);
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const aikhost::AcquisitionResult wait = channel().waitForIntegration();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(wait.rc, 0) << wait.errText;
        EXPECT_EQ(wait.acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
        EXPECT_GE(elapsed, std::chrono::milliseconds(10));
        EXPECT_LT(elapsed, std::chrono::seconds(1));
    }
}

using ReenumerationTest = AcquisitionFixture;

// Catches a repeated enumeration that keeps the old cameras open (the library then
// refuses to open them again) or a feature list still describing the old channel 0.
TEST_F(ReenumerationTest, DeviceZeroAgainClosesTheOldCamerasAndRebuildsTheList) {
    openCameras({gridCamera(64, 32), gridCamera(64, 32)});
    const std::vector<std::string> before = featureNames(channel());
    ASSERT_NE(std::find(before.begin(), before.end(), "Gamma"), before.end());

    nlohmann::json changed = gridCamera(64, 32);
    changed["model"] = "QX-NEW";
    changed["nodes"] = {{{"name", "Gamma"}, {"remove", true}}};
    useCameras({changed});
    resetCalls();
    const aikhost::VideoChannelResult first = getVideoChannel(0);
    ASSERT_EQ(first.rc, 0) << first.errText;
    EXPECT_EQ(calls("pvxCloseCamera"), 2);
    EXPECT_STREQ(first.record.name, "Quorvex QX-NEW(AIK)");
    EXPECT_EQ(getVideoChannel(1).rc, 1);
    const std::vector<std::string> after = featureNames(aikhost::Channel(first.record));
    EXPECT_EQ(std::find(after.begin(), after.end(), "Gamma"), after.end());
    EXPECT_EQ(after.size() + 3, before.size()); // Gamma, Gamma_Min, Gamma_Max
}

} // namespace
} // namespace aiktest
