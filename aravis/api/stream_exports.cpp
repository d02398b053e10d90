// Exports: opening, running and closing a camera's stream; taking its images.
#include "aravis/api/export_support.h"
#include "aravis/arv_control.h"
#include "sim/core/event_signal.h"

using namespace arv_backend;

// The flags carry nothing under Aravis; every stream has uiBuffers buffers.
PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm, uint32_t* puiFrameBytes,
                                            PvxEvent hEvent, uint32_t uiBuffers, uint32_t /*uiFlags*/) {
    if (!phStrm || !puiFrameBytes)
        return NullArgument(!phStrm ? "phStrm" : "puiFrameBytes");
    if (!sim::IsEvent(hEvent) || uiBuffers == 0)
        return Fail(PVX_ERR_INVALID_PARAMETER, "a stream needs an event and at least one buffer");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (camera.StreamHandle() != 0)
            return Fail(PVX_ERR_ALREADY_OPENED, "the camera's stream is open already");
        auto stream = std::make_shared<Stream>(camera.Arv(), hEvent, uiBuffers, camera.SocketBufferBytes());
        const uint32_t frameBytes = stream->FrameBytes();
        const PvxStatus status = Registry::Instance().AddStream(camera, std::move(stream), *phStrm);
        if (status == PVX_OK)
            *puiFrameBytes = frameBytes;
        return status;
    });
}

// The count repeats the buffers given at open; the stream already has them.
PVX_EXPORT PvxStatus PVX_CALL pvxStartStream(PvxHandle hStrm, uint32_t /*uiBuffers*/) {
    return Guarded([&] {
        return Registry::Instance().WithStream(hStrm, [](Stream& stream) { return stream.Start(); });
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxStopStream(PvxHandle hStrm) {
    return Guarded(
        [&] { return Registry::Instance().WithStream(hStrm, [](Stream& stream) { return stream.Stop(); }); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCloseStream(PvxHandle hStrm) {
    return Guarded([&] { return Registry::Instance().RemoveStream(hStrm); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCompletedImage(PvxHandle hStrm, uint32_t* puiIndex) {
    if (!puiIndex)
        return NullArgument("puiIndex");
    return WithStreamObject(hStrm,
                            [&](Stream& stream) -> PvxStatus { return stream.CompletedImage(*puiIndex); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex, PvxImageRecord* pRecord) {
    if (!pRecord)
        return NullArgument("pRecord");
    return WithStreamObject(hStrm,
                            [&](Stream& stream) -> PvxStatus { return stream.Lock(uiIndex, *pRecord); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                               uint32_t /*uiFlags*/) {
    if (!pDest || !puiSize)
        return NullArgument(!pDest ? "pDest" : "puiSize");
    return WithStreamObject(hStrm, [&](Stream& stream) -> PvxStatus { return stream.Copy(pDest, *puiSize); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxReleaseImage(PvxHandle hStrm, uint32_t uiIndex) {
    return WithStreamObject(hStrm, [&](Stream& stream) -> PvxStatus { return stream.Release(uiIndex); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxArvStreamCounters(PvxHandle hStrm, uint64_t* pullProduced,
                                                   uint64_t* pullDelivered, uint64_t* pullLost,
                                                   uint64_t* pullSuperseded) {
    if (!pullProduced || !pullDelivered || !pullLost || !pullSuperseded)
        return NullArgument("a counter output");
    return WithStreamObject(hStrm, [&](Stream& stream) -> PvxStatus {
        const StreamCounters counters = stream.Counters();
        *pullProduced = counters.produced;
        *pullDelivered = counters.delivered;
        *pullLost = counters.lost;
        *pullSuperseded = counters.superseded;
        return PVX_OK;
    });
}
