// Opening, refreshing and closing a camera and its stream.
#include "camera/camera_device.h"

#include "diag/log.h"

namespace {

// A library that lets an exception out of a stop or close is taken to have failed
// that call, so that a release still reaches every camera and every event; the count
// tells the slot to answer the failure once the sequence is done.
template <class Call> PvxStatus Contained(CameraDevice& cam, const char* operation, Call call) noexcept {
    try {
        return call();
    } catch (...) {
        ++cam.m_uiLibraryExceptions;
        AIK_LOG(LOG_WARN, "%s: the camera library threw an exception", operation);
        return PVX_ERR_UNSUCCESSFUL;
    }
}

} // namespace

PvxStatus OpenDevice(CameraDevice& cam) {
    PvxStatus status = pvxOpenCamera(cam.m_uiCamIndex, &cam.m_hCam, 0, true, 0, 1);
    if (status != PVX_OK)
        return status;
    if (cam.m_hFrameEvent == platform::kNoEvent)
        cam.m_hFrameEvent = platform::EventCreate();
    if (cam.m_hIntegrationEvent == platform::kNoEvent)
        cam.m_hIntegrationEvent = platform::EventCreate();
    pvxSetExposureControl(cam.m_hCam, 1);
    // A camera whose information or limits cannot all be read still counts as open.
    ReadCamInfo(cam);
    UpdateCamSetInfo(cam);
    return PVX_OK;
}

void ReadCamInfo(CameraDevice& cam) {
    const PvxHandle h = cam.m_hCam;
    (void)(pvxGetCameraInfo(h, cam.m_uiCamIndex, &cam.m_camInfo) == PVX_OK &&
           pvxGetSensorWidth(h, &cam.m_uiSensorWidth) == PVX_OK &&
           pvxGetSensorHeight(h, &cam.m_uiSensorHeight) == PVX_OK &&
           pvxGetExposureTimeRange(h, &cam.m_dExposureMin, &cam.m_dExposureMax) == PVX_OK &&
           pvxGetBrightnessRange(h, &cam.m_dBrightnessMin, &cam.m_dBrightnessMax) == PVX_OK &&
           pvxGetContrastRange(h, &cam.m_dContrastMin, &cam.m_dContrastMax) == PVX_OK);
}

PvxStatus UpdateCamSetInfo(CameraDevice& cam) {
    const PvxHandle h = cam.m_hCam;
    PvxStatus status = PVX_OK;
    // Stops at the first failure; the fields read before it keep their new values.
    (void)((status = pvxGetOffsetXRange(h, &cam.m_uiOffsetXMin, &cam.m_uiOffsetXMax, &cam.m_uiOffsetXInc)) ==
               PVX_OK &&
           (status = pvxGetOffsetX(h, &cam.m_uiOffsetX)) == PVX_OK &&
           (status = pvxGetOffsetYRange(h, &cam.m_uiOffsetYMin, &cam.m_uiOffsetYMax, &cam.m_uiOffsetYInc)) ==
               PVX_OK &&
           (status = pvxGetOffsetY(h, &cam.m_uiOffsetY)) == PVX_OK &&
           (status = pvxGetWidthRange(h, &cam.m_uiWidthMin, &cam.m_uiWidthMax, &cam.m_uiWidthInc)) ==
               PVX_OK &&
           (status = pvxGetWidth(h, &cam.m_uiWidth)) == PVX_OK &&
           (status = pvxGetHeightRange(h, &cam.m_uiHeightMin, &cam.m_uiHeightMax, &cam.m_uiHeightInc)) ==
               PVX_OK &&
           (status = pvxGetHeight(h, &cam.m_uiHeight)) == PVX_OK &&
           (status = pvxGetFrameByteSize(h, &cam.m_uiFrameBytes)) == PVX_OK &&
           (status = pvxGetPixelFormat(h, &cam.m_ePixelFormat)) == PVX_OK &&
           (status = pvxGetImageProperty(h, &cam.m_uiImageProperty)) == PVX_OK);
    return status;
}

PvxStatus StopSequence(CameraDevice& cam) {
    const uint32_t stop = 0;
    // Whether the camera took the register write shows in the stream stop.
    Contained(cam, "pvxWriteRegister",
              [&] { return pvxWriteRegister(cam.m_hCam, PVX_REG_ACQUISITION_STOP, 1, &stop); });
    return Contained(cam, "pvxStopStream", [&] { return pvxStopStream(cam.m_hStrm); });
}

PvxStatus OpenStream(CameraDevice& cam) {
    if (cam.m_hStrm != 0)
        return PVX_ERR_ALREADY_OPENED;
    // No signal of an earlier stream may survive into this one.
    if (cam.m_hFrameEvent != platform::kNoEvent) {
        platform::EventReset(cam.m_hFrameEvent);
        platform::EventReset(cam.m_hIntegrationEvent);
    }
    return pvxOpenStream(cam.m_hCam, &cam.m_hStrm, &cam.m_uiFrameBytes, cam.m_hFrameEvent, 8, 0);
}

PvxStatus CloseStream(CameraDevice& cam) {
    if (cam.m_hStrm == 0)
        return PVX_OK;
    StopSequence(cam);
    PvxStatus status = Contained(cam, "pvxCloseStream", [&] { return pvxCloseStream(cam.m_hStrm); });
    if (status == PVX_OK)
        cam.m_hStrm = 0;
    return status;
}

PvxStatus CloseDevice(CameraDevice& cam) {
    if (cam.m_hStrm != 0)
        StopSequence(cam);
    CloseStream(cam);
    PvxStatus status = PVX_OK;
    if (cam.m_hCam != 0) {
        status = Contained(cam, "pvxCloseCamera", [&] { return pvxCloseCamera(cam.m_hCam); });
        if (status == PVX_OK)
            cam.m_hCam = 0;
    }
    if (cam.m_hFrameEvent != platform::kNoEvent && (cam.m_hStrm != 0 || cam.m_hCam != 0)) {
        platform::EventRetire(cam.m_hFrameEvent);
        AIK_LOG(LOG_WARN, "CloseDevice: camera %u did not close; its frame event stays open (%u so far)",
                cam.m_uiCamIndex, platform::RetiredEventCount());
    } else {
        platform::EventClose(cam.m_hFrameEvent);
    }
    platform::EventClose(cam.m_hIntegrationEvent);
    cam.m_hFrameEvent = platform::kNoEvent;
    cam.m_hIntegrationEvent = platform::kNoEvent;
    return status;
}
