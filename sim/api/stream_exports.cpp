// Exports: the image stream and the images it completes.
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

// The flags select nothing in the simulator.
PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm, uint32_t* puiFrameBytes,
                                            PvxEvent hEvent, uint32_t uiBuffers, uint32_t uiFlags) {
    RecordArguments(camlib::Operation::OpenStream, {uiBuffers, uiFlags});
    if (const auto fault = EnterCall(camlib::Operation::OpenStream, OnCamera(hCam)))
        return *fault;
    if (!phStrm || !puiFrameBytes)
        return camlib::NullArgument(!phStrm ? "phStrm" : "puiFrameBytes");
    return camlib::Guarded(
        [&] { return Registry::Instance().OpenStream(hCam, hEvent, uiBuffers, *phStrm, *puiFrameBytes); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxStartStream(PvxHandle hStrm, uint32_t uiBuffers) {
    RecordArguments(camlib::Operation::StartStream, {uiBuffers});
    if (const auto fault = EnterCall(camlib::Operation::StartStream, OnStream(hStrm)))
        return *fault;
    return WithStream(hStrm, [&](Stream& stream) { return stream.Start(uiBuffers); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxStopStream(PvxHandle hStrm) {
    if (const auto fault = EnterCall(camlib::Operation::StopStream, OnStream(hStrm)))
        return *fault;
    return WithStream(hStrm, [](Stream& stream) { return stream.Stop(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCloseStream(PvxHandle hStrm) {
    if (const auto fault = EnterCall(camlib::Operation::CloseStream, OnStream(hStrm)))
        return *fault;
    return camlib::Guarded([&] { return Registry::Instance().CloseStream(hStrm); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCompletedImage(PvxHandle hStrm, uint32_t* puiIndex) {
    if (const auto fault = EnterCall(camlib::Operation::GetCompletedImage, OnStream(hStrm)))
        return *fault;
    if (!puiIndex)
        return camlib::NullArgument("puiIndex");
    return WithStream(hStrm, [&](Stream& stream) { return stream.CompletedImage(*puiIndex); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex, PvxImageRecord* pRecord) {
    if (const auto fault = EnterCall(camlib::Operation::LockImage, OnStream(hStrm)))
        return *fault;
    if (!pRecord)
        return camlib::NullArgument("pRecord");
    return WithStream(hStrm, [&](Stream& stream) { return stream.Lock(uiIndex, *pRecord); });
}

// The flags select nothing in the simulator.
PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                               uint32_t /*uiFlags*/) {
    if (const auto fault = EnterCall(camlib::Operation::CopyImageData, OnStream(hStrm)))
        return *fault;
    if (!pDest || !puiSize)
        return camlib::NullArgument(!pDest ? "pDest" : "puiSize");
    return WithStream(hStrm, [&](Stream& stream) { return stream.Copy(pDest, *puiSize); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxReleaseImage(PvxHandle hStrm, uint32_t uiIndex) {
    if (const auto fault = EnterCall(camlib::Operation::ReleaseImage, OnStream(hStrm)))
        return *fault;
    return WithStream(hStrm, [&](Stream& stream) { return stream.Release(uiIndex); });
}
