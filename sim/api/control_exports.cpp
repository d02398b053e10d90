// Exports of sim/sim_control.h: call counts, register and stream observation, and the
// entry gate QuorvexUtl64 borrows.
#include "sim/sim_control.h"

#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"
#include "sim/core/frame_faults.h"

using namespace sim;

PVX_EXPORT int64_t PVX_CALL pvxSimCallCount(const char* pszOperation) {
    const auto operation = pszOperation ? camlib::OperationFromName(pszOperation) : std::nullopt;
    return operation ? static_cast<int64_t>(CallCount(*operation)) : -1;
}

PVX_EXPORT void PVX_CALL pvxSimResetCallCounts(void) {
    ResetCallCounts();
}

PVX_EXPORT uint64_t PVX_CALL pvxSimTotalCallCount(void) {
    return TotalCallCount();
}

PVX_EXPORT void PVX_CALL pvxSimFailCalls(uint64_t ullFirst, uint64_t ullCount, PvxStatus uiStatus) {
    FailCalls(ullFirst, ullCount, uiStatus);
}

PVX_EXPORT void PVX_CALL pvxSimThrowAtCall(uint64_t ullPosition, uint32_t uiKind) {
    ThrowAtCall(ullPosition, uiKind);
}

PVX_EXPORT void PVX_CALL pvxSimThrowInFrames(uint64_t ullCount, uint32_t uiKind) {
    ThrowInFrames(ullCount, uiKind);
}

PVX_EXPORT void PVX_CALL pvxSimHoldInSignal(uint32_t uiMilliseconds) {
    HoldInSignal(uiMilliseconds);
}

PVX_EXPORT void PVX_CALL pvxSimCloseAll(void) {
    Registry::Instance().CloseAll();
}

PVX_EXPORT PvxStatus PVX_CALL pvxSimLastRegisterWrite(uint32_t uiCameraIndex, uint64_t* pullAddress,
                                                      uint32_t* puiValue) {
    if (!pullAddress || !puiValue)
        return PVX_ERR_INVALID_PARAMETER;
    const std::shared_ptr<Camera> camera = Registry::Instance().CameraAt(uiCameraIndex);
    if (!camera)
        return PVX_ERR_INVALID_CAMERA_INDEX;
    const std::optional<RegisterWrite> write = camera->LastRegisterWrite();
    if (!write)
        return PVX_ERR_NOT_FOUND;
    *pullAddress = write->address;
    *puiValue = write->value;
    return PVX_OK;
}

PVX_EXPORT uint32_t PVX_CALL pvxSimLastArguments(const char* pszOperation, uint64_t* pullArguments,
                                                 uint32_t uiCapacity) {
    const auto operation = pszOperation ? camlib::OperationFromName(pszOperation) : std::nullopt;
    if (!operation)
        return 0;
    const std::vector<uint64_t> arguments = LastArguments(*operation);
    for (std::size_t i = 0; pullArguments && i < arguments.size() && i < uiCapacity; ++i)
        pullArguments[i] = arguments[i];
    return static_cast<uint32_t>(arguments.size());
}

namespace {

// The counters of the stream of the camera open at index, or the status saying why none.
PvxStatus StreamCountersAt(uint32_t index, Stream::Counters& counters) {
    const std::shared_ptr<Camera> camera = Registry::Instance().CameraAt(index);
    if (!camera)
        return PVX_ERR_INVALID_CAMERA_INDEX;
    const std::shared_ptr<Stream> stream = camera->CurrentStream();
    if (!stream)
        return PVX_ERR_INVALID_STREAM_HANDLE;
    counters = stream->GetCounters();
    return PVX_OK;
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxSimStreamCounters(uint32_t uiCameraIndex, uint64_t* pullImages,
                                                   uint64_t* pullDropped) {
    if (!pullImages || !pullDropped)
        return PVX_ERR_INVALID_PARAMETER;
    Stream::Counters counters;
    const PvxStatus status = StreamCountersAt(uiCameraIndex, counters);
    if (status == PVX_OK) {
        *pullImages = counters.images;
        *pullDropped = counters.dropped;
    }
    return status;
}

PVX_EXPORT PvxStatus PVX_CALL pvxSimStreamOverwritten(uint32_t uiCameraIndex, uint64_t* pullOverwritten) {
    if (!pullOverwritten)
        return PVX_ERR_INVALID_PARAMETER;
    Stream::Counters counters;
    const PvxStatus status = StreamCountersAt(uiCameraIndex, counters);
    if (status == PVX_OK)
        *pullOverwritten = counters.overwritten;
    return status;
}

PVX_EXPORT int32_t PVX_CALL pvxSimEnterUtilityCall(const char* pszOperation, const void* pImage,
                                                   PvxStatus* puiStatus) {
    const auto operation = pszOperation ? camlib::OperationFromName(pszOperation) : std::nullopt;
    if (!operation || !puiStatus)
        return 0;
    const auto fault = EnterCall(*operation, OnImage(pImage));
    if (!fault)
        return 0;
    *puiStatus = *fault;
    return 1;
}
