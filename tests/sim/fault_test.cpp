// Injected faults (after, times, node, errorText; top level and per camera) and the
// call counts of sim_control.h.
#include "tests/sim/sim_fixture.h"

#include "camlib/operations.h"
#include "sim/sim_control.h"

#include <algorithm>
#include <functional>
#include <type_traits>
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
    const PvxHandle camera = OpenWith(
        {{"faults",
          json::array(
              {Fault("pvxGetWidth", PVX_ERR_CAMERA_NOT_RESPONDING, {{"after", 2}, {"times", 2}}),
               Fault("pvxSetFloatValue", PVX_ERR_GENICAM, {{"errorText", "value must be greater"}})})}});
    uint32_t width = 0;
    std::vector<PvxStatus> results(6);
    std::generate(results.begin(), results.end(), [&] { return pvxGetWidth(camera, &width); });
    EXPECT_EQ(results, (std::vector<PvxStatus>{PVX_OK, PVX_OK, PVX_ERR_CAMERA_NOT_RESPONDING,
                                               PVX_ERR_CAMERA_NOT_RESPONDING, PVX_OK, PVX_OK}));
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(pvxSetFloatValue(camera, Node(camera, "Gamma"), 1.0, true), PVX_ERR_GENICAM);
        EXPECT_EQ(LastErrorText(), "value must be greater");
    }
    // Without errorText the text names the operation and the status.
    const PvxHandle second =
        OpenWith({{"faults", json::array({Fault("pvxSetContrast", PVX_ERR_UNSUCCESSFUL)})}});
    EXPECT_EQ(pvxSetContrast(second, 1.0), PVX_ERR_UNSUCCESSFUL);
    EXPECT_NE(LastErrorText().find("pvxSetContrast"), std::string::npos);
    EXPECT_NE(LastErrorText().find("0xFFFFFFFF"), std::string::npos);
}

// Catches a node-bound fault that hits other nodes, or misses calls by name or on entries.
TEST_F(SimTest, NodeFaultsHitOnlyTheirNode) {
    const PvxHandle camera =
        OpenWith({{"faults",
                   {Fault("pvxGetFloatValue", PVX_ERR_NOT_READABLE, {{"node", "Gamma"}}),
                    Fault("pvxGetNode", PVX_ERR_NOT_FOUND, {{"node", "TestPattern"}}),
                    Fault("pvxGetNodeAccess", PVX_ERR_NOT_AVAILABLE, {{"node", "TriggerMode"}})}}});
    double value = 0;
    EXPECT_EQ(pvxGetFloatValue(camera, Node(camera, "Gamma"), &value, false, false), PVX_ERR_NOT_READABLE);
    EXPECT_EQ(pvxGetFloatValue(camera, Node(camera, "ExposureTime"), &value, false, false), PVX_OK);
    PvxHandle node = 0;
    EXPECT_EQ(pvxGetNode(camera, "TestPattern", &node), PVX_ERR_NOT_FOUND);
    EXPECT_EQ(pvxGetNode(camera, "PixelFormat", &node), PVX_OK);
    // An entry's calls belong to its enumeration.
    const PvxHandle entry = Got(pvxGetEnumEntry, camera, Node(camera, "TriggerMode"), 0u);
    uint32_t access = 0;
    EXPECT_EQ(pvxGetNodeAccess(camera, entry, &access), PVX_ERR_NOT_AVAILABLE);
}

// Catches camera faults that leak to other cameras, top-level faults that miss some,
// and faults on pvxOpenCamera that are not tied to the camera index.
TEST_F(SimTest, CameraFaultsStayWithTheirCameraTopLevelFaultsHitAll) {
    const json own = json::array({Fault("pvxGetSensorWidth", PVX_ERR_NOT_READY),
                                  Fault("pvxOpenCamera", PVX_ERR_CAMERA_NOT_RESPONDING, {{"after", 1}})});
    UseDescription({{"faults", json::array({Fault("pvxGetSensorHeight", PVX_ERR_INVALID_CAMERA_HANDLE)})},
                    {"cameras", {json::object(), {{"faults", own}}}}});
    Init();
    const PvxHandle first = Open(0);
    const PvxHandle second = Open(1);
    uint32_t value = 0;
    EXPECT_EQ(pvxGetSensorWidth(first, &value), PVX_OK);
    EXPECT_EQ(pvxGetSensorWidth(second, &value), PVX_ERR_NOT_READY);
    EXPECT_EQ(pvxGetSensorHeight(first, &value), PVX_ERR_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(pvxGetSensorHeight(second, &value), PVX_ERR_INVALID_CAMERA_HANDLE);
    ASSERT_EQ(pvxCloseCamera(first), PVX_OK);
    ASSERT_EQ(pvxCloseCamera(second), PVX_OK);
    PvxHandle again = 0;
    EXPECT_EQ(pvxOpenCamera(1, &again, 0, true, 0, 1), PVX_ERR_CAMERA_NOT_RESPONDING);
    EXPECT_NE(Open(0), 0u);
}

// Zero, or zeroed room, for any argument: the gate answers before it looks at them.
template <class T> T AnyArgument() {
    if constexpr (std::is_pointer_v<T>) {
        alignas(8) static unsigned char room[256] = {};
        return reinterpret_cast<T>(room);
    } else {
        return T{};
    }
}
template <class... Params> std::function<PvxStatus()> Call(PvxStatus(PVX_CALL* call)(Params...)) {
    return [call] { return call(AnyArgument<Params>()...); };
}

template <class... Exports> std::vector<std::function<PvxStatus()>> Calls(Exports... exports) {
    return {Call(exports)...};
}

// Catches an export without the fault gate, or a name in the operation table that
// does not match its export: every operation, faulted by name, answers the fault and
// counts; and counts that survive a reset, or a count for a name that is no operation.
// (Refused calls count too: the Floats cases of WriteValueTest count refused writes.)
TEST_F(SimTest, EveryOperationPassesTheFaultGate) {
    constexpr PvxStatus kInjected = 0x4242;
    json faults = json::array();
    for (std::size_t i = 1; i < camlib::kOperationCount; ++i)
        faults.push_back(Fault(std::string(camlib::kOperationNames[i]).c_str(), kInjected));
    UseDescription({{"faults", faults}});
    Init();
    // Every export but pvxInitLibrary, in the order of the operation table.
    const auto calls =
        Calls(pvxGetCameraCount, pvxGetLastErrorText, pvxOpenCamera, pvxCloseCamera, pvxGetCameraInfo,
              pvxWriteRegister, pvxSetExposureControl, pvxOpenStream, pvxStartStream, pvxStopStream,
              pvxCloseStream, pvxGetCompletedImage, pvxLockImage, pvxCopyImageData, pvxReleaseImage,
              pvxGetSensorWidth, pvxGetSensorHeight, pvxGetRoi, pvxSetRoi, pvxGetWidthRange, pvxGetWidth,
              pvxGetHeightRange, pvxGetHeight, pvxGetOffsetXRange, pvxGetOffsetX, pvxGetOffsetYRange,
              pvxGetOffsetY, pvxGetFrameByteSize, pvxGetPixelFormat, pvxGetImageProperty,
              pvxGetExposureTimeRange, pvxGetExposureTime, pvxSetExposureTime, pvxGetContrastRange,
              pvxGetContrast, pvxSetContrast, pvxGetBrightnessRange, pvxGetBrightness, pvxSetBrightness,
              pvxSetTriggerMode, pvxGetTriggerPolarity, pvxSetTriggerPolarity, pvxGetNode, pvxGetNodeType,
              pvxGetNodeAccess, pvxGetNodeDescription, pvxGetIntValue, pvxSetIntValue, pvxGetIntMin,
              pvxGetIntMax, pvxGetFloatValue, pvxSetFloatValue, pvxGetFloatMin, pvxGetFloatMax,
              pvxGetFloatPrecision, pvxGetBoolValue, pvxSetBoolValue, pvxGetStringValue, pvxSetStringValue,
              pvxGetEnumValueText, pvxSetEnumValueText, pvxGetEnumEntryCount, pvxGetEnumEntry,
              pvxGetEnumEntryName, pvxExecuteCommand, pvxIsCommandDone, pvxUtlInit, pvxConvertToPlanes);
    ASSERT_EQ(calls.size(), camlib::kOperationCount - 1);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string name(camlib::kOperationNames[i + 1]);
        const int64_t before = pvxSimCallCount(name.c_str());
        EXPECT_EQ(calls[i](), kInjected) << name;
        EXPECT_EQ(pvxSimCallCount(name.c_str()), before + 1) << name;
    }
    pvxSimResetCallCounts();
    EXPECT_EQ(pvxSimCallCount("pvxGetWidth"), 0);
    EXPECT_EQ(pvxSimCallCount("pvxGetWidht"), -1);
}

// Catches a conversion fault that is not tied to the camera whose image is converted.
TEST_F(SimTest, ConversionFaultsFollowTheImagesCamera) {
    const json fault = Fault("pvxConvertToPlanes", PVX_ERR_BUFFER_TOO_SMALL);
    const PvxHandle camera = OpenWith({{"sensorWidth", 16},
                                       {"sensorHeight", 4},
                                       {"pixelFormat", "BayerRG8"},
                                       {"faults", json::array({fault})}});
    const PvxHandle stream = StartStream(camera, 2);
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
