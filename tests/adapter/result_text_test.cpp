// The messages a host reads in errText when GetVideoChannel fails: one per result
// code, bounded to 32 bytes, and never written through a null pointer.
#include "tests/support/marked_err_text.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

struct CodeCase {
    uint32_t code;
    const char* message;
};

// One camera, the library answering status in the named place.
nlohmann::json withStatus(const char* place, uint32_t status) {
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
        CodeCase{1u, "NOT INITIALIZE."}, CodeCase{2u, "ALREADY INITIALIZE."}, CodeCase{3u, "NOT FOUND."},
        CodeCase{4u, "ALREADY OPENED."}, CodeCase{5u, "ALREADY ACTIVATED."},
        CodeCase{6u, "INVALID CAMERA INDEX."}, CodeCase{7u, "INVALID CAMERA HANDLE."},
        CodeCase{8u, "INVALID NODE HANDLE."}, CodeCase{9u, "INVALID STREAM HANDLE."},
        CodeCase{10u, "INVALID REQUEST HANDLE."}, CodeCase{11u, "INVALID EVENT HANDLE."},
        CodeCase{12u, "INVALID IMAGE HANDLE."}, CodeCase{13u, "INVALID PARAMETER."},
        CodeCase{14u, "BUFFER TOO SMALL."}, CodeCase{15u, "NO MEMORY."}, CodeCase{16u, "MEMORY NO ACCESS."},
        CodeCase{17u, "NOT IMPLEMENTED."}, CodeCase{18u, "TIMEOUT."}, CodeCase{19u, "CAMERA NOT RESPONDING."},
        CodeCase{20u, "EMPTY COMPLETE QUEUE."}, CodeCase{21u, "NOT READY."},
        CodeCase{22u, "ACCESS MODE SET ERROR."}, CodeCase{257u, "XML LOAD ERROR."},
        CodeCase{258u, "GENICAM ERROR."}, CodeCase{259u, "DLL LOAD ERROR."},
        CodeCase{2049u, "INVALID ADDRESS."}, CodeCase{2050u, "WRITE PROTECT."},
        CodeCase{2051u, "BAD ALIGNMENT."}, CodeCase{2052u, "ACCESS DENIED."}, CodeCase{2053u, "BUSY."},
        CodeCase{2054u, "NOT READABLE."}, CodeCase{2055u, "NOT WRITABLE."}, CodeCase{2056u, "NOT AVAILABLE."},
        CodeCase{4097u, "REQUEST TIMEOUT."}, CodeCase{4098u, "RESEND TIMEOUT."},
        CodeCase{4099u, "RESPONSE TIMEOUT."}, CodeCase{4100u, "BUFFER FULL."},
        CodeCase{4101u, "UNEXPECTED BUFFER SIZE."}, CodeCase{4102u, "UNEXPECTED NUMBER."},
        CodeCase{4103u, "PACKET STATUS ERROR."}, CodeCase{4104u, "RESEND NOT IMPLEMENTED."},
        CodeCase{4105u, "PACKET UNAVAILABLE."}, CodeCase{4106u, "MISSING PACKETS."},
        CodeCase{4107u, "FLUSH REQUESTED."}, CodeCase{4108u, "TOO MANY PACKET MISSING."},
        CodeCase{4109u, "FLUSHED BY D0EXIT."}, CodeCase{4110u, "FLUSHED BY CAMERA REMOVE."},
        CodeCase{4111u, "DRIVER LOAD ERR."}, CodeCase{8193u, "FILE OPEN ERROR."},
        CodeCase{8194u, "FILE WRITE ERROR."}, CodeCase{8195u, "FILE READ ERROR."},
        CodeCase{8196u, "FILE NOT FOUND."}, CodeCase{41216u, "DATA DISCARDED."},
        CodeCase{4294967295u, "UNSUCCESSFUL."}, CodeCase{23u, "ILLEGAL ERR."}, CodeCase{256u, "ILLEGAL ERR."},
        CodeCase{260u, "ILLEGAL ERR."}, CodeCase{2048u, "ILLEGAL ERR."}, CodeCase{2057u, "ILLEGAL ERR."},
        CodeCase{4096u, "ILLEGAL ERR."}, CodeCase{4112u, "ILLEGAL ERR."}, CodeCase{8192u, "ILLEGAL ERR."},
        CodeCase{8197u, "ILLEGAL ERR."}, CodeCase{41217u, "ILLEGAL ERR."}),
    [](const ::testing::TestParamInfo<CodeCase>& tested) {
        return "Code" + std::to_string(tested.param.code);
    });

// Every GetVideoChannel(0) initialises the library afresh from the description, so
// one test can try status after status.
using ResultTextTest = ModuleFixture;

// Catches the library's initialisation status passed through as a message instead
// of "UNSUCCESSFUL.", or status 2 (already initialised) treated as a failure.
TEST_F(ResultTextTest, AnyInitStatusButZeroAndTwoGivesUnsuccessful) {
    for (uint32_t status : {1u, 3u, 19u, 4294967295u}) {
        useSimConfig(withStatus("initStatus", status));
        EXPECT_EQ(rcText(getVideoChannel(0)), RcText(1, "UNSUCCESSFUL.")) << status;
    }
    useSimConfig(withStatus("initStatus", 2));
    EXPECT_EQ(getVideoChannel(0).rc, 0);
}

// Catches a count failure that leaves the cameras of the previous enumeration in the
// registry, so that later device numbers still answer, and an initialisation failure
// that empties or rebuilds the registry: its cameras must stay reachable.
TEST_F(ResultTextTest, CountFailureEmptiesTheRegistryAndInitFailureKeepsIt) {
    for (const char* place : {"initStatus", "countStatus"}) {
        useCameras({cameraJson("Quorvex", "QX-1", "one"), cameraJson("Quorvex", "QX-2", "two")});
        ASSERT_EQ(enumerate().channels.size(), 2u);
        useSimConfig(withStatus(place, 19));
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
    useSimConfig(withStatus("initStatus", 1));
    EXPECT_EQ(callGetVideoChannel(nullptr, 0, &record), 1);
    useSimConfig(withStatus("countStatus", 19));
    EXPECT_EQ(callGetVideoChannel(nullptr, 0, &record), 1);
    useSimConfig(withStatus("initStatus", 0));
    ASSERT_EQ(callGetVideoChannel(nullptr, 0, &record), 0);
    EXPECT_EQ(callGetVideoChannel(nullptr, 1, &record), 1);
    ASSERT_EQ(record.ReleaseVideoChannel(nullptr, 0), 0);
    EXPECT_EQ(record.StartAcquisition(nullptr, 0), 1);
    CommonParamsRecord params{};
    EXPECT_EQ(record.SetupCommonParams(nullptr, 0, &params), 1);
}

} // namespace
} // namespace aiktest
