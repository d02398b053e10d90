// The messages a host reads in errText when GetVideoChannel fails: one per result
// code, bounded to 32 bytes, and never written through a null pointer.
#include "tests/support/marked_err_text.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

struct CodeCase {
    PvxStatus code;
    const char* message;
};

// One camera, the library answering status in the named place.
nlohmann::json withStatus(const char* place, PvxStatus status) {
    nlohmann::json config = simConfigJson({cameraJson("Quorvex", "QX-R", "result codes")});
    config[place] = status;
    return config;
}

class CountFailureTest : public ModuleFixture, public ::testing::WithParamInterface<CodeCase> {};

// Catches a wrong or misspelt message, a listed code falling through to "ILLEGAL ERR."
// or an unlisted neighbour of a listed group matching it, and a copy that runs past
// the 32-byte bound of the ordinary messages.
TEST_P(CountFailureTest, ErrTextIsTheCodesMessageWithin32Bytes) {
    useSimConfig(withStatus("countStatus", GetParam().code));
    MarkedErrText errText;
    VideoChannelRecord record{};
    record.recordLevel = AIK_EXTENDED_RECORD_BYTES;
    ASSERT_EQ(callGetVideoChannel(errText.bytes, 0, &record), 1);
    EXPECT_EQ(errText.text(), GetParam().message);
    EXPECT_TRUE(errText.untouchedFrom(32));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CountFailureTest,
    // Every code of the table, then unlisted neighbours of its groups.
    ::testing::Values(
        CodeCase{PVX_ERR_NOT_INITIALIZED, "NOT INITIALIZE."},
        CodeCase{PVX_ERR_ALREADY_INITIALIZED, "ALREADY INITIALIZE."},
        CodeCase{PVX_ERR_NOT_FOUND, "NOT FOUND."}, CodeCase{PVX_ERR_ALREADY_OPENED, "ALREADY OPENED."},
        CodeCase{PVX_ERR_ALREADY_ACTIVATED, "ALREADY ACTIVATED."},
        CodeCase{PVX_ERR_INVALID_CAMERA_INDEX, "INVALID CAMERA INDEX."},
        CodeCase{PVX_ERR_INVALID_CAMERA_HANDLE, "INVALID CAMERA HANDLE."},
        CodeCase{PVX_ERR_INVALID_NODE_HANDLE, "INVALID NODE HANDLE."},
        CodeCase{PVX_ERR_INVALID_STREAM_HANDLE, "INVALID STREAM HANDLE."},
        CodeCase{PVX_ERR_INVALID_REQUEST_HANDLE, "INVALID REQUEST HANDLE."},
        CodeCase{PVX_ERR_INVALID_EVENT_HANDLE, "INVALID EVENT HANDLE."},
        CodeCase{PVX_ERR_INVALID_IMAGE_HANDLE, "INVALID IMAGE HANDLE."},
        CodeCase{PVX_ERR_INVALID_PARAMETER, "INVALID PARAMETER."},
        CodeCase{PVX_ERR_BUFFER_TOO_SMALL, "BUFFER TOO SMALL."}, CodeCase{PVX_ERR_NO_MEMORY, "NO MEMORY."},
        CodeCase{PVX_ERR_MEMORY_NO_ACCESS, "MEMORY NO ACCESS."},
        CodeCase{PVX_ERR_NOT_IMPLEMENTED, "NOT IMPLEMENTED."}, CodeCase{PVX_ERR_TIMEOUT, "TIMEOUT."},
        CodeCase{PVX_ERR_CAMERA_NOT_RESPONDING, "CAMERA NOT RESPONDING."},
        CodeCase{PVX_ERR_EMPTY_COMPLETE_QUEUE, "EMPTY COMPLETE QUEUE."},
        CodeCase{PVX_ERR_NOT_READY, "NOT READY."},
        CodeCase{PVX_ERR_ACCESS_MODE_SET, "ACCESS MODE SET ERROR."},
        CodeCase{PVX_ERR_XML_LOAD, "XML LOAD ERROR."}, CodeCase{PVX_ERR_GENICAM, "GENICAM ERROR."},
        CodeCase{PVX_ERR_DLL_LOAD, "DLL LOAD ERROR."}, CodeCase{PVX_ERR_INVALID_ADDRESS, "INVALID ADDRESS."},
        CodeCase{PVX_ERR_WRITE_PROTECT, "WRITE PROTECT."}, CodeCase{PVX_ERR_BAD_ALIGNMENT, "BAD ALIGNMENT."},
        CodeCase{PVX_ERR_ACCESS_DENIED, "ACCESS DENIED."}, CodeCase{PVX_ERR_BUSY, "BUSY."},
        CodeCase{PVX_ERR_NOT_READABLE, "NOT READABLE."}, CodeCase{PVX_ERR_NOT_WRITABLE, "NOT WRITABLE."},
        CodeCase{PVX_ERR_NOT_AVAILABLE, "NOT AVAILABLE."},
        CodeCase{PVX_ERR_REQUEST_TIMEOUT, "REQUEST TIMEOUT."},
        CodeCase{PVX_ERR_RESEND_TIMEOUT, "RESEND TIMEOUT."},
        CodeCase{PVX_ERR_RESPONSE_TIMEOUT, "RESPONSE TIMEOUT."},
        CodeCase{PVX_ERR_BUFFER_FULL, "BUFFER FULL."},
        CodeCase{PVX_ERR_UNEXPECTED_BUFFER_SIZE, "UNEXPECTED BUFFER SIZE."},
        CodeCase{PVX_ERR_UNEXPECTED_NUMBER, "UNEXPECTED NUMBER."},
        CodeCase{PVX_ERR_PACKET_STATUS, "PACKET STATUS ERROR."},
        CodeCase{PVX_ERR_RESEND_NOT_IMPLEMENTED, "RESEND NOT IMPLEMENTED."},
        CodeCase{PVX_ERR_PACKET_UNAVAILABLE, "PACKET UNAVAILABLE."},
        CodeCase{PVX_ERR_MISSING_PACKETS, "MISSING PACKETS."},
        CodeCase{PVX_ERR_FLUSH_REQUESTED, "FLUSH REQUESTED."},
        CodeCase{PVX_ERR_TOO_MANY_PACKET_MISSING, "TOO MANY PACKET MISSING."},
        CodeCase{PVX_ERR_FLUSHED_BY_D0EXIT, "FLUSHED BY D0EXIT."},
        CodeCase{PVX_ERR_FLUSHED_BY_CAMERA_REMOVE, "FLUSHED BY CAMERA REMOVE."},
        CodeCase{PVX_ERR_DRIVER_LOAD, "DRIVER LOAD ERR."}, CodeCase{PVX_ERR_FILE_OPEN, "FILE OPEN ERROR."},
        CodeCase{PVX_ERR_FILE_WRITE, "FILE WRITE ERROR."}, CodeCase{PVX_ERR_FILE_READ, "FILE READ ERROR."},
        CodeCase{PVX_ERR_FILE_NOT_FOUND, "FILE NOT FOUND."},
        CodeCase{PVX_ERR_DATA_DISCARDED, "DATA DISCARDED."}, CodeCase{PVX_ERR_UNSUCCESSFUL, "UNSUCCESSFUL."},
        CodeCase{PVX_ERR_ACCESS_MODE_SET + 1, "ILLEGAL ERR."}, CodeCase{PVX_ERR_XML_LOAD - 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_DLL_LOAD + 1, "ILLEGAL ERR."}, CodeCase{PVX_ERR_INVALID_ADDRESS - 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_NOT_AVAILABLE + 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_REQUEST_TIMEOUT - 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_DRIVER_LOAD + 1, "ILLEGAL ERR."}, CodeCase{PVX_ERR_FILE_OPEN - 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_FILE_NOT_FOUND + 1, "ILLEGAL ERR."},
        CodeCase{PVX_ERR_DATA_DISCARDED + 1, "ILLEGAL ERR."}),
    [](const ::testing::TestParamInfo<CodeCase>& tested) {
        return "Code" + std::to_string(tested.param.code);
    });

// Every GetVideoChannel(0) initialises the library afresh from the description, so
// one test can try status after status.
using ResultTextTest = ModuleFixture;

// Catches the library's initialisation status passed through as a message instead
// of "UNSUCCESSFUL.", or PVX_ERR_ALREADY_INITIALIZED treated as a failure.
TEST_F(ResultTextTest, AnyInitStatusButZeroAndTwoGivesUnsuccessful) {
    for (PvxStatus status :
         {PVX_ERR_NOT_INITIALIZED, PVX_ERR_NOT_FOUND, PVX_ERR_CAMERA_NOT_RESPONDING, PVX_ERR_UNSUCCESSFUL}) {
        useSimConfig(withStatus("initStatus", status));
        EXPECT_EQ(rcText(getVideoChannel(0)), RcText(1, "UNSUCCESSFUL.")) << status;
    }
    useSimConfig(withStatus("initStatus", PVX_ERR_ALREADY_INITIALIZED));
    EXPECT_EQ(getVideoChannel(0).rc, 0);
}

// Catches a count failure that leaves the cameras of the previous enumeration in the
// registry, so that later device numbers still answer, and an initialisation failure
// that empties or rebuilds the registry: its cameras must stay reachable.
TEST_F(ResultTextTest, CountFailureEmptiesTheRegistryAndInitFailureKeepsIt) {
    for (const char* place : {"initStatus", "countStatus"}) {
        useCameras({cameraJson("Quorvex", "QX-1", "one"), cameraJson("Quorvex", "QX-2", "two")});
        ASSERT_EQ(enumerate().channels.size(), 2u);
        useSimConfig(withStatus(place, PVX_ERR_CAMERA_NOT_RESPONDING));
        ASSERT_EQ(getVideoChannel(0).rc, 1) << place;
        aikhost::VideoChannelResult second = getVideoChannel(1);
        EXPECT_EQ(second.rc, std::string(place) == "initStatus" ? 0 : 1) << place;
        EXPECT_EQ(std::string(second.record.name), second.rc == 0 ? "Quorvex QX-2(AIK)" : "") << place;
    }
}

// Catches a failure path that writes its message without checking errText for null.
TEST_F(ResultTextTest, FailingCallsWithNullErrTextDoNotCrash) {
    VideoChannelRecord record{};
    record.recordLevel = AIK_EXTENDED_RECORD_BYTES;
    useSimConfig(withStatus("initStatus", PVX_ERR_NOT_INITIALIZED));
    EXPECT_EQ(callGetVideoChannel(nullptr, 0, &record), 1);
    useSimConfig(withStatus("countStatus", PVX_ERR_CAMERA_NOT_RESPONDING));
    EXPECT_EQ(callGetVideoChannel(nullptr, 0, &record), 1);
    useSimConfig(withStatus("initStatus", PVX_OK));
    ASSERT_EQ(callGetVideoChannel(nullptr, 0, &record), 0);
    EXPECT_EQ(callGetVideoChannel(nullptr, 1, &record), 1);
    ASSERT_EQ(record.ReleaseVideoChannel(nullptr, 0), 0);
    EXPECT_EQ(record.StartAcquisition(nullptr, 0), 1);
    CommonParamsRecord params{};
    EXPECT_EQ(record.SetupCommonParams(nullptr, 0, &params), 1);
}

} // namespace
} // namespace aiktest
