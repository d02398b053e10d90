// Exposure time and region of interest: unit conversion, alignment, programming.
#include "camera/region.h"

#include "diag/log.h"
#include "platform/thread.h"

namespace {

constexpr double kMicrosecondsPerSecond = 1000000.0;
constexpr double kZeroExposure = 1e-10;
constexpr int kRoiAttempts = 20;
constexpr uint32_t kRoiRetryMs = 5;

struct AxisWindow {
    uint32_t offset;
    uint32_t size;
};

// One axis of the camera window: the origin aligned down, the requested far edge
// covered and rounded up to the size increment; a window past the sensor's far edge is
// pulled back onto it (the origin is then not re-aligned).
AxisWindow AlignAxis(uint32_t start, uint32_t length, uint32_t sensor, uint32_t offsetMin, uint32_t offsetInc,
                     uint32_t sizeMin, uint32_t sizeInc) {
    // A camera that never reported its increments (a failed limits query) leaves them
    // 0; dividing by that would bring the host's process down.
    offsetInc = offsetInc != 0 ? offsetInc : 1;
    sizeInc = sizeInc != 0 ? sizeInc : 1;
    AxisWindow window{};
    window.offset = start / offsetInc * offsetInc;
    if (window.offset < offsetMin)
        window.offset = offsetMin;
    window.size = (start + length - window.offset + sizeInc - 1) / sizeInc * sizeInc;
    if (window.size < sizeMin)
        window.size = sizeMin;
    if (window.size + window.offset > sensor)
        window.offset = sensor - window.size;
    return window;
}

// The status of the set or read-back that failed, else PVX_OK; held is true only when the
// camera reads back exactly the window programmed.
PvxStatus ProgramRoi(const CameraDevice& cam, bool& held) {
    PvxStatus status =
        pvxSetRoi(cam.m_hCam, cam.m_uiCamWidth, cam.m_uiCamHeight, cam.m_uiCamOffsetX, cam.m_uiCamOffsetY);
    if (status != PVX_OK)
        return status;
    uint32_t w = 0, h = 0, x = 0, y = 0;
    status = pvxGetRoi(cam.m_hCam, &w, &h, &x, &y);
    if (status != PVX_OK)
        return status;
    held =
        w == cam.m_uiCamWidth && h == cam.m_uiCamHeight && x == cam.m_uiCamOffsetX && y == cam.m_uiCamOffsetY;
    return PVX_OK;
}

} // namespace

PvxStatus SetExposureTime(CameraDevice& cam, double seconds) {
    double microseconds = seconds * kMicrosecondsPerSecond;
    if (seconds >= -kZeroExposure && seconds <= kZeroExposure) {
        const PvxStatus status =
            pvxGetExposureTimeRange(cam.m_hCam, &cam.m_dExposureMin, &cam.m_dExposureMax);
        if (status != PVX_OK)
            return status;
        microseconds = cam.m_dExposureMin;
    }
    if (microseconds == cam.m_dExposureSet)
        return PVX_OK;
    const PvxStatus status = pvxSetExposureTime(cam.m_hCam, microseconds);
    if (status == PVX_OK)
        cam.m_dExposureSet = microseconds;
    return status;
}

PvxStatus SetRoi(CameraDevice& cam, uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    cam.m_uiRoiX = x;
    cam.m_uiRoiY = y;
    cam.m_uiRoiWidth = x + width > cam.m_uiSensorWidth ? cam.m_uiSensorWidth - x : width;
    cam.m_uiRoiHeight = y + height > cam.m_uiSensorHeight ? cam.m_uiSensorHeight - y : height;

    const AxisWindow horizontal = AlignAxis(x, cam.m_uiRoiWidth, cam.m_uiSensorWidth, cam.m_uiOffsetXMin,
                                            cam.m_uiOffsetXInc, cam.m_uiWidthMin, cam.m_uiWidthInc);
    const AxisWindow vertical = AlignAxis(y, cam.m_uiRoiHeight, cam.m_uiSensorHeight, cam.m_uiOffsetYMin,
                                          cam.m_uiOffsetYInc, cam.m_uiHeightMin, cam.m_uiHeightInc);
    cam.m_uiCamOffsetX = horizontal.offset;
    cam.m_uiCamWidth = horizontal.size;
    cam.m_uiCamOffsetY = vertical.offset;
    cam.m_uiCamHeight = vertical.size;

    PvxStatus status = PVX_OK;
    for (int attempt = 0; attempt < kRoiAttempts; ++attempt) {
        bool held = false;
        status = ProgramRoi(cam, held);
        if (held)
            return PVX_OK;
        AIK_TRACE(" Retry SetROI.\n");
        platform::SleepMs(kRoiRetryMs);
    }
    return status;
}
