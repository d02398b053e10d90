// Injected faults (after, times, node, errorText; top level and per camera) and the
// call counts of sim_control.h.
#include "tests/sim/sim_fixture.h"

#include "sim/core/operations.h"
#include "sim/sim_control.h"

#include <functional>
#include <vector>

using nlohmann::json;

namespace simtest {
namespace {

// A fault on call answering status, with the further fields of more.
json Fault(const char* call, PvxStatus status, const json& more = json::object()) {
    json fault = {{"call", call}, {"status", status}};
    fault.update(more);
    return fault;
}

// Catches after/times counted wrongly (two calls pass, two fail, the rest pass), a
// fault without times that stops after one call, or an errorText that is not what the
// last-error text then says.
TEST_F(SimTest, FaultsCountAfterAndTimesAndCarryTheirText) {
    UseCamera({{"faults",
                json::array({Fault("pvxGetWidth", 19, {{"after", 2}, {"times", 2}}),
                             Fault("pvxSetFloatValue", 0x102, {{"errorText", "value must be greater"}})})}});
    Init();
    const PvxHandle camera = Open();
    std::vector<PvxStatus> results;
    for (int call = 0; call < 6; ++call) {
        uint32_t width = 0;
        results.push_back(pvxGetWidth(camera, &width));
    }
    EXPECT_EQ(results, (std::vector<PvxStatus>{0, 0, 19, 19, 0, 0}));
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(pvxSetFloatValue(camera, Node(camera, "Gamma"), 1.0, true), 0x102u);
        EXPECT_EQ(LastErrorText(), "value must be greater");
    }
    // Without errorText the text names the operation and the status.
    UseCamera({{"faults", json::array({Fault("pvxSetContrast", 0xFFFFFFFF)})}});
    Init();
    const PvxHandle second = Open();
    EXPECT_EQ(pvxSetContrast(second, 1.0), 0xFFFFFFFFu);
    EXPECT_NE(LastErrorText().find("pvxSetContrast"), std::string::npos);
    EXPECT_NE(LastErrorText().find("0xFFFFFFFF"), std::string::npos);
}

// Catches a node-bound fault that hits other nodes, or misses calls by name or on entries.
TEST_F(SimTest, NodeFaultsHitOnlyTheirNode) {
    UseCamera({{"faults",
                {Fault("pvxGetFloatValue", 0x806, {{"node", "Gamma"}}),
                 Fault("pvxGetNode", PVX_ERR_NOT_FOUND, {{"node", "TestPattern"}}),
                 Fault("pvxGetNodeAccess", 0x808, {{"node", "TriggerMode"}})}}});
    Init();
    const PvxHandle camera = Open();
    double value = 0;
    EXPECT_EQ(pvxGetFloatValue(camera, Node(camera, "Gamma"), &value, false, false), 0x806u);
    EXPECT_EQ(pvxGetFloatValue(camera, Node(camera, "ExposureTime"), &value, false, false), PVX_OK);
    PvxHandle node = 0;
    EXPECT_EQ(pvxGetNode(camera, "TestPattern", &node), PVX_ERR_NOT_FOUND);
    EXPECT_EQ(pvxGetNode(camera, "PixelFormat", &node), PVX_OK);
    // An entry's calls belong to its enumeration.
    PvxHandle entry = 0;
    ASSERT_EQ(pvxGetEnumEntry(camera, Node(camera, "TriggerMode"), 0, &entry), PVX_OK);
    uint32_t access = 0;
    EXPECT_EQ(pvxGetNodeAccess(camera, entry, &access), 0x808u);
}

// Catches camera faults that leak to other cameras, or top-level faults that miss some.
TEST_F(SimTest, CameraFaultsStayWithTheirCameraTopLevelFaultsHitAll) {
    UseDescription(
        {{"faults", json::array({Fault("pvxGetSensorHeight", 7)})},
         {"cameras", {json::object(), {{"faults", json::array({Fault("pvxGetSensorWidth", 21)})}}}}});
    Init();
    const PvxHandle first = Open(0);
    const PvxHandle second = Open(1);
    uint32_t value = 0;
    EXPECT_EQ(pvxGetSensorWidth(first, &value), PVX_OK);
    EXPECT_EQ(pvxGetSensorWidth(second, &value), 21u);
    EXPECT_EQ(pvxGetSensorHeight(first, &value), 7u);
    EXPECT_EQ(pvxGetSensorHeight(second, &value), 7u);
}

// Catches faults on pvxOpenCamera that are not tied to the camera index.
TEST_F(SimTest, OpenFaultsFollowTheCameraIndex) {
    const json fault = Fault("pvxOpenCamera", 19, {{"after", 1}});
    UseDescription({{"cameras", {json::object(), {{"faults", json::array({fault})}}}}});
    Init();
    PvxHandle camera = 0;
    ASSERT_EQ(pvxOpenCamera(1, &camera, 0, true, 0, 1), PVX_OK);
    ASSERT_EQ(pvxCloseCamera(camera), PVX_OK);
    EXPECT_EQ(pvxOpenCamera(1, &camera, 0, true, 0, 1), 19u);
    EXPECT_NE(Open(0), 0u);
}

// Catches calls that go uncounted, counts that survive a reset, and unknown names.
TEST_F(SimTest, CallCountsCountEveryCallUntilReset) {
    Init();
    const PvxHandle camera = Open();
    pvxSimResetCallCounts();
    uint32_t value = 0;
    pvxGetWidth(camera, &value);
    pvxGetWidth(camera, &value);
    pvxGetWidth(0, &value); // a refused call counts too
    EXPECT_EQ(pvxSimCallCount("pvxGetWidth"), 3);
    EXPECT_EQ(pvxSimCallCount("pvxGetHeight"), 0);
    EXPECT_EQ(pvxSimCallCount("pvxGetWidht"), -1);
    pvxSimResetCallCounts();
    EXPECT_EQ(pvxSimCallCount("pvxGetWidth"), 0);
}

// Every export, called with arguments its gate never looks at.
const std::vector<std::function<PvxStatus()>>& EveryExportButInit() {
    static int32_t i32;
    static uint32_t u32;
    static uint64_t u64;
    static int64_t i64;
    static double d;
    static bool b;
    static char text[8];
    static PvxCameraInfo info;
    static PvxImageRecord record;
    static uint8_t plane[4];
    static const std::vector<std::function<PvxStatus()>> calls = {
        [] { return pvxGetCameraCount(&i32); },
        [] { return pvxGetLastErrorText(text, &u32); },
        [] { return pvxOpenCamera(0, &u64, 0, true, 0, 1); },
        [] { return pvxCloseCamera(0); },
        [] { return pvxGetCameraInfo(0, 0, &info); },
        [] { return pvxWriteRegister(0, PVX_REG_ACQUISITION_STOP, 1, &u32); },
        [] { return pvxSetExposureControl(0, 1); },
        [] { return pvxOpenStream(0, &u64, &u32, -1, 8, 0); },
        [] { return pvxStartStream(0, 8); },
        [] { return pvxStopStream(0); },
        [] { return pvxCloseStream(0); },
        [] { return pvxGetCompletedImage(0, &u32); },
        [] { return pvxLockImage(0, 0, &record); },
        [] { return pvxCopyImageData(0, plane, &u32, 0); },
        [] { return pvxReleaseImage(0, 0); },
        [] { return pvxGetSensorWidth(0, &u32); },
        [] { return pvxGetSensorHeight(0, &u32); },
        [] { return pvxGetRoi(0, &u32, &u32, &u32, &u32); },
        [] { return pvxSetRoi(0, 16, 16, 0, 0); },
        [] { return pvxGetWidthRange(0, &u32, &u32, &u32); },
        [] { return pvxGetWidth(0, &u32); },
        [] { return pvxGetHeightRange(0, &u32, &u32, &u32); },
        [] { return pvxGetHeight(0, &u32); },
        [] { return pvxGetOffsetXRange(0, &u32, &u32, &u32); },
        [] { return pvxGetOffsetX(0, &u32); },
        [] { return pvxGetOffsetYRange(0, &u32, &u32, &u32); },
        [] { return pvxGetOffsetY(0, &u32); },
        [] { return pvxGetFrameByteSize(0, &u32); },
        [] { return pvxGetPixelFormat(0, &u32); },
        [] { return pvxGetImageProperty(0, &u32); },
        [] { return pvxGetExposureTimeRange(0, &d, &d); },
        [] { return pvxGetExposureTime(0, &d); },
        [] { return pvxSetExposureTime(0, 1.0); },
        [] { return pvxGetContrastRange(0, &d, &d); },
        [] { return pvxGetContrast(0, &d); },
        [] { return pvxSetContrast(0, 1.0); },
        [] { return pvxGetBrightnessRange(0, &d, &d); },
        [] { return pvxGetBrightness(0, &d); },
        [] { return pvxSetBrightness(0, 1.0); },
        [] { return pvxSetTriggerMode(0, true); },
        [] { return pvxGetTriggerPolarity(0, &u32); },
        [] { return pvxSetTriggerPolarity(0, 1); },
        [] { return pvxGetNode(0, "Width", &u64); },
        [] { return pvxGetNodeType(0, 0, &u32); },
        [] { return pvxGetNodeAccess(0, 0, &u32); },
        [] { return pvxGetNodeDescription(0, 0, text, &u32); },
        [] { return pvxGetIntValue(0, 0, &i64, false, false); },
        [] { return pvxSetIntValue(0, 0, 1, true); },
        [] { return pvxGetIntMin(0, 0, &i64); },
        [] { return pvxGetIntMax(0, 0, &i64); },
        [] { return pvxGetFloatValue(0, 0, &d, false, false); },
        [] { return pvxSetFloatValue(0, 0, 1.0, true); },
        [] { return pvxGetFloatMin(0, 0, &d); },
        [] { return pvxGetFloatMax(0, 0, &d); },
        [] { return pvxGetFloatPrecision(0, 0, &i64); },
        [] { return pvxGetBoolValue(0, 0, &b, false, false); },
        [] { return pvxSetBoolValue(0, 0, true, true); },
        [] { return pvxGetStringValue(0, 0, text, sizeof text, false, false); },
        [] { return pvxSetStringValue(0, 0, "x", true); },
        [] { return pvxGetEnumValueText(0, 0, text, sizeof text, false, false); },
        [] { return pvxSetEnumValueText(0, 0, "x", true); },
        [] { return pvxGetEnumEntryCount(0, 0, &u32); },
        [] { return pvxGetEnumEntry(0, 0, 0, &u64); },
        [] { return pvxGetEnumEntryName(0, 0, text, &u32); },
        [] { return pvxExecuteCommand(0, 0, true); },
        [] { return pvxIsCommandDone(0, 0, &b, false); },
        [] { return pvxUtlInit(); },
        [] { return pvxConvertToPlanes(PVX_PIXEL_RGB8, plane, plane, plane, plane, 1, 1); },
    };
    return calls;
}

// Catches an export without the fault gate, or a name in the operation table that
// does not match its export: every operation, faulted by name, answers the fault.
TEST_F(SimTest, EveryOperationPassesTheFaultGate) {
    constexpr PvxStatus kInjected = 0x4242;
    json faults = json::array();
    for (std::size_t i = 1; i < sim::kOperationCount; ++i)
        faults.push_back(Fault(std::string(sim::kOperationNames[i]).c_str(), kInjected));
    UseDescription({{"faults", faults}});
    Init();
    const auto& calls = EveryExportButInit();
    ASSERT_EQ(calls.size(), sim::kOperationCount - 1);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string name(sim::kOperationNames[i + 1]);
        const int64_t before = pvxSimCallCount(name.c_str());
        EXPECT_EQ(calls[i](), kInjected) << name;
        EXPECT_EQ(pvxSimCallCount(name.c_str()), before + 1) << name;
    }
}

// Catches a conversion fault that is not tied to the camera whose image is converted.
TEST_F(SimTest, ConversionFaultsFollowTheImagesCamera) {
    UseCamera({{"sensorWidth", 16},
               {"sensorHeight", 4},
               {"pixelFormat", "BayerRG8"},
               {"frameRate", 500},
               {"faults", json::array({Fault("pvxConvertToPlanes", PVX_ERR_BUFFER_TOO_SMALL)})}});
    Init();
    const PvxHandle camera = Open();
    const PvxHandle stream = OpenStream(camera, 2);
    ASSERT_EQ(pvxStartStream(stream, 2), PVX_OK);
    const PvxImageRecord record = NextImage(stream);
    std::vector<uint8_t> planes(3 * 16 * 4);
    uint8_t* out = planes.data();
    EXPECT_EQ(pvxConvertToPlanes(record.uiPixelFormat, out, out + 64, out + 128, record.pData, 16, 4),
              PVX_ERR_BUFFER_TOO_SMALL);
    const std::vector<uint8_t> own(m_frameBytes, 0);
    EXPECT_EQ(pvxConvertToPlanes(PVX_PIXEL_BAYER_RG8, out, out + 64, out + 128, own.data(), 16, 4), PVX_OK);
    EXPECT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
}

} // namespace
} // namespace simtest
