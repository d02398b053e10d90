// The module's context for one camera: the library's handles, the two events of the
// image handshake, the camera's information, limits and region, and the values last
// set; with the operations that open, refresh and close it.
#pragma once

#include "camera/quorvex_api.h"
#include "platform/event.h"

#include <cstdint>

// Stands for "nothing applied yet", so that the first request of any value is sent.
constexpr double kValueNeverSet = -9999.9;

struct CameraDevice {
    uint32_t m_uiCamIndex = 0;
    PvxHandle m_hCam = 0;
    PvxHandle m_hStrm = 0;
    PvxCameraInfo m_camInfo{};
    uint32_t m_uiSensorWidth = 0;
    uint32_t m_uiSensorHeight = 0;
    double m_dExposureMin = 0, m_dExposureMax = 0;
    double m_dBrightnessMin = 0, m_dBrightnessMax = 0;
    double m_dContrastMin = 0, m_dContrastMax = 0;
    double m_dExposureSet = kValueNeverSet;
    double m_dBrightnessSet = kValueNeverSet;
    double m_dContrastSet = kValueNeverSet;
    uint32_t m_uiOffsetXMin = 0, m_uiOffsetXMax = 0, m_uiOffsetXInc = 0, m_uiOffsetX = 0;
    uint32_t m_uiOffsetYMin = 0, m_uiOffsetYMax = 0, m_uiOffsetYInc = 0, m_uiOffsetY = 0;
    uint32_t m_uiWidthMin = 0, m_uiWidthMax = 0, m_uiWidthInc = 0, m_uiWidth = 0;
    uint32_t m_uiHeightMin = 0, m_uiHeightMax = 0, m_uiHeightInc = 0, m_uiHeight = 0;
    uint32_t m_uiFrameBytes = 0;
    uint32_t m_ePixelFormat = 0;
    uint32_t m_uiImageProperty = 0;
    uint32_t m_uiRoiX = 0, m_uiRoiY = 0, m_uiRoiWidth = 0, m_uiRoiHeight = 0;
    uint32_t m_uiCamOffsetX = 0, m_uiCamOffsetY = 0, m_uiCamWidth = 0, m_uiCamHeight = 0;
    platform::EventHandle m_hFrameEvent = platform::kNoEvent;
    platform::EventHandle m_hIntegrationEvent = platform::kNoEvent;
    bool m_bAcqContinuous = false;
    bool m_bAcqTriggered = false;
    // Exceptions the camera library let out of a stop or close of this camera: the
    // sequence goes on past them, and the slot that ran it then answers a failure.
    uint32_t m_uiLibraryExceptions = 0;
};

// Opens camera m_uiCamIndex, creates the events and reads information and limits.
PvxStatus OpenDevice(CameraDevice& cam);
// Stops and closes any stream, closes the camera and both events. The status of the
// camera close, PVX_OK when no camera was open. When the stream or the camera would not
// close, the library may still signal the frame event: it is retired instead of
// closed (and a WARN line says so), though marked absent all the same.
PvxStatus CloseDevice(CameraDevice& cam);
void ReadCamInfo(CameraDevice& cam);
// Reads region limits and values, frame size, pixel format and image property.
PvxStatus UpdateCamSetInfo(CameraDevice& cam);
// PVX_ERR_ALREADY_OPENED when a stream is open already.
PvxStatus OpenStream(CameraDevice& cam);
// PVX_OK when no stream is open.
PvxStatus CloseStream(CameraDevice& cam);
// Stops the camera's image output, then the stream; the status of the stream stop.
PvxStatus StopSequence(CameraDevice& cam);
