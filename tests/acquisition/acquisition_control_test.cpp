// StartAcquisition, StopAcquisition and WaitForIntegration as a host sees them: the
// stream's states, refusals by the library, and the frame-signal handshake.
#include "sim/sim_control.h"
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/support/case_name.h"

#include <chrono>
#include <thread>

namespace aiktest {
namespace {

using std::chrono::milliseconds;

class AcquisitionControlTest : public AcquisitionFixture {
protected:
    void openCamera(nlohmann::json camera = gridCamera(64, 48)) { openCameras({camera}); }
};

// Catches a stop that succeeds, or reaches the library, without an open stream, and a
// second start that reopens or restarts the stream, or stops it.
TEST_F(AcquisitionControlTest, StopWithoutStreamAndStartTwiceAreRefused) {
    openCamera();
    resetCalls();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(rcText(channel().stopAcquisition()), RcText(1, "UNSUCCESSFUL."));
        startWholeSensor(channel());
        EXPECT_EQ(rcText(channel().startAcquisition()), RcText(1, "ALREADY OPENED."));
        EXPECT_TRUE(waitForImage(channel()));
        ASSERT_EQ(channel().stopAcquisition().rc, 0);
    }
    EXPECT_EQ(calls("pvxOpenStream"), 2);
    EXPECT_EQ(calls("pvxCloseStream"), 2);
}

struct RefusalCase {
    const char* name;
    bool atStop; // refused by StopAcquisition, else by StartAcquisition
    const char* call;
    PvxStatus status;
    const char* errText;
    bool streamStaysOpen; // a later start answers "ALREADY OPENED."
};
const RefusalCase kRefusals[] = {
    {"OpenRefused", false, "pvxOpenStream", PVX_ERR_NO_MEMORY, "NO MEMORY.", false},
    {"StartRefused", false, "pvxStartStream", PVX_ERR_BUSY, "BUSY.", true},
    {"StopRefused", true, "pvxStopStream", PVX_ERR_CAMERA_NOT_RESPONDING, "CAMERA NOT RESPONDING.", true},
    {"CloseRefused", true, "pvxCloseStream", PVX_ERR_BUSY, "BUSY.", true},
};

class RefusalTest : public AcquisitionControlTest, public ::testing::WithParamInterface<RefusalCase> {};

// Catches a refusal reported with the wrong text or as success, a stream that opened
// but did not start left unrecorded (never closed), one that did not open taken as
// open, and a stream forgotten although the library did not close it, so that it
// can never be stopped again.
TEST_P(RefusalTest, RefusalIsReportedAndTheStreamStateKept) {
    const RefusalCase& c = GetParam();
    openCamera(withFault(gridCamera(64, 48), c.call, c.status, {{"times", 1}}));
    if (c.atStop) {
        startWholeSensor(channel());
        EXPECT_EQ(rcText(channel().stopAcquisition()), RcText(1, c.errText));
    } else {
        ASSERT_EQ(channel().setupCommonParams(regionParams(0, 0, 64, 48)).rc, 0);
        EXPECT_EQ(rcText(channel().startAcquisition()), RcText(1, c.errText));
    }
    EXPECT_EQ(rcText(channel().startAcquisition()),
              c.streamStaysOpen ? RcText(1, "ALREADY OPENED.") : RcText(0, ""));
    if (!c.streamStaysOpen) {
        EXPECT_TRUE(waitForImage(channel()));
    }
    EXPECT_EQ(rcText(channel().stopAcquisition()), RcText(0, ""));
}

INSTANTIATE_TEST_SUITE_P(Library, RefusalTest, ::testing::ValuesIn(kRefusals), CaseName());

// Catches a stale frame signal from the previous stream reported as a new image: the
// events must be reset when a stream opens. The second stream waits for triggers
// that never come, so any image it reports is the stale one.
TEST_F(AcquisitionControlTest, FrameSignalDoesNotSurviveARestart) {
    openCamera(gridCamera(64, 48, "Mono8", 200));
    startWholeSensor(channel());
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_EQ(channel().stopAcquisition().rc, 0);

    CommonParamsRecord triggered = regionParams(0, 0, 64, 48);
    triggered.acqTriggered = 1;
    ASSERT_EQ(channel().setupCommonParams(triggered).rc, 0);
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    aikhost::AcquisitionResult wait = channel().waitForIntegration();
    EXPECT_EQ(wait.rc, 0);
    EXPECT_EQ(wait.acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

// Catches a frame signal that counts images, so that one wait per image queued up
// would be reported instead of one for all.
TEST_F(AcquisitionControlTest, SeveralImagesBeforeAWaitGiveOneSignal) {
    openCamera(gridCamera(64, 48, "Mono8", 200));
    startWholeSensor(channel());
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_EQ(channel().stopAcquisition().rc, 0);
    EXPECT_EQ(channel().waitForIntegration().acqResult, static_cast<uint32_t>(AIK_ACQ_DONE));
    EXPECT_EQ(channel().waitForIntegration().acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
}

// Catches a wait or a GetImage that fails, reports or copies an image, or blocks on
// a channel that never streamed.
TEST_F(AcquisitionControlTest, IdleChannelTimesOut) {
    openCamera();
    aikhost::AcquisitionResult wait = channel().waitForIntegration();
    EXPECT_EQ(rcText(wait), RcText(0, ""));
    EXPECT_EQ(wait.acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
    std::vector<uint8_t> image(64 * 48, 0xA5);
    aikhost::AcquisitionResult get = channel().getImage(image.data());
    EXPECT_EQ(get.rc, 0);
    EXPECT_EQ(get.acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
    EXPECT_EQ(image, std::vector<uint8_t>(64 * 48, 0xA5));
}

// Catches an image copied from a closed stream because an integration signal was
// still pending when the stream stopped.
TEST_F(AcquisitionControlTest, GetImageAfterStopWithPendingSignalFails) {
    openCamera();
    startWholeSensor(channel());
    ASSERT_TRUE(waitForImage(channel()));
    ASSERT_EQ(channel().stopAcquisition().rc, 0);
    std::vector<uint8_t> image(64 * 48, 0xA5);
    aikhost::AcquisitionResult get = channel().getImage(image.data());
    EXPECT_EQ(rcText(get), RcText(1, "UNSUCCESSFUL."));
    EXPECT_EQ(get.acqResult, static_cast<uint32_t>(AIK_ACQ_NOT_DELIVERED));
    EXPECT_EQ(image, std::vector<uint8_t>(64 * 48, 0xA5));
}

// Runs body with the library throwing at each of its calls in turn (positions counted
// from just before body), until a body makes fewer calls than the position: every
// call a stop or release makes. arrange restores the state before each round.
template <class Arrange, class Body> int throwAtEveryCall(Arrange arrange, Body body) {
    int positions = 0;
    for (uint64_t position = 1; position <= 64; ++position) {
        arrange();
        pvxSimResetCallCounts();
        pvxSimThrowAtCall(position, PVX_SIM_THROW_FOREIGN);
        const bool reached = body(position);
        pvxSimThrowAtCall(0, 0);
        if (!reached)
            return positions;
        ++positions;
    }
    ADD_FAILURE() << "more than 64 library calls";
    return positions;
}

// Catches an exception out of the library's register write, stream stop (also the
// one inside the close) or stream close answered as a stop that worked.
TEST_F(AcquisitionControlTest, LibraryExceptionInAnyStopCallIsUnsuccessful) {
    openCamera();
    const int positions = throwAtEveryCall(
        [&] {
            channel().stopAcquisition(); // closes what an earlier round left open
            startWholeSensor(channel());
        },
        [&](uint64_t position) {
            const RcText answer = rcText(channel().stopAcquisition());
            if (position > pvxSimTotalCallCount())
                return false;
            EXPECT_EQ(answer, RcText(1, "UNSUCCESSFUL.")) << "exception at call " << position;
            return true;
        });
    EXPECT_EQ(positions, 5); // register write and stop, both again in the close, the close
}

// Catches an exception out of any library call of a release answered as success, and
// one that keeps the release from reaching the other cameras or emptying the registry.
TEST_F(AcquisitionControlTest, LibraryExceptionInAnyReleaseCallIsUnsuccessfulAfterClosingAll) {
    const int positions = throwAtEveryCall(
        [&] {
            openCameras({gridCamera(64, 48), gridCamera(32, 16)});
            startWholeSensor(channel(0));
            startWholeSensor(channel(1));
        },
        [&](uint64_t position) {
            const RcText answer = rcText(channel().releaseVideoChannel());
            if (position > pvxSimTotalCallCount())
                return false;
            EXPECT_EQ(answer, RcText(1, "UNSUCCESSFUL.")) << "exception at call " << position;
            EXPECT_EQ(pvxSimCallCount("pvxCloseCamera"), 2) << "exception at call " << position;
            EXPECT_EQ(rcText(channel(1).startAcquisition()), RcText(1, "INVALID PARAMETER."));
            pvxSimCloseAll(); // what a camera whose close threw left open
            return true;
        });
    EXPECT_EQ(positions, 12); // per camera: the stop sequence twice, the stream and camera close
}

} // namespace
} // namespace aiktest
