// Exports: opening, running and closing a camera's stream; taking its images.
#include "aravis/api/export_support.h"
#include "aravis/arv_control.h"
#include "camlib/event_signal.h"

using namespace arv_backend;

// The flags carry nothing under Aravis; every stream has uiBuffers buffers.
PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm, uint32_t* puiFrameBytes,
                                            PvxEvent hEvent, uint32_t uiBuffers, uint32_t /*uiFlags*/) {
    if (!phStrm || !puiFrameBytes)
        return camlib::NullArgument(!phStrm ? "phStrm" : "puiFrameBytes");
    if (!camlib::IsEvent(hEvent) || uiBuffers == 0)
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, "a stream needs an event and at least one buffer");
    return camlib::Guarded(
        [&] { return Registry::Instance().OpenStream(hCam, hEvent, uiBuffers, *phStrm, *puiFrameBytes); });
}

// The count repeats the buffers given at open; the stream already has them.
PVX_EXPORT PvxStatus PVX_CALL pvxStartStream(PvxHandle hStrm, uint32_t /*uiBuffers*/) {
    return camlib::Guarded([&] {
        return Registry::Instance().WithStreamLocked(hStrm, [](Stream& stream) { return stream.Start(); });
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxStopStream(PvxHandle hStrm) {
    return camlib::Guarded([&] {
        return Registry::Instance().WithStreamLocked(hStrm, [](Stream& stream) { return stream.Stop(); });
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCloseStream(PvxHandle hStrm) {
    return camlib::Guarded([&] { return Registry::Instance().CloseStream(hStrm); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCompletedImage(PvxHandle hStrm, uint32_t* puiIndex) {
    if (!puiIndex)
        return camlib::NullArgument("puiIndex");
    return WithStream(hStrm, [&](Stream& stream) -> PvxStatus { return stream.CompletedImage(*puiIndex); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex, PvxImageRecord* pRecord) {
    if (!pRecord)
        return camlib::NullArgument("pRecord");
    return WithStream(hStrm, [&](Stream& stream) -> PvxStatus { return stream.Lock(uiIndex, *pRecord); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                               uint32_t /*uiFlags*/) {
    if (!pDest || !puiSize)
        return camlib::NullArgument(!pDest ? "pDest" : "puiSize");
    return WithStream(hStrm, [&](Stream& stream) -> PvxStatus { return stream.Copy(pDest, *puiSize); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxReleaseImage(PvxHandle hStrm, uint32_t uiIndex) {
    return WithStream(hStrm, [&](Stream& stream) -> PvxStatus { return stream.Release(uiIndex); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxArvStreamCounters(PvxHandle hStrm, uint64_t* pullProduced,
                                                   uint64_t* pullDelivered, uint64_t* pullLost,
                                                   uint64_t* pullSuperseded) {
    if (!pullProduced || !pullDelivered || !pullLost || !pullSuperseded)
        return camlib::NullArgument("a counter output");
    return WithStream(hStrm, [&](Stream& stream) -> PvxStatus {
        const StreamCounters counters = stream.Counters();
        *pullProduced = counters.produced;
        *pullDelivered = counters.delivered;
        *pullLost = counters.lost;
        *pullSuperseded = counters.superseded;
        return PVX_OK;
    });
}
