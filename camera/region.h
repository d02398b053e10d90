// Applying the host's exposure time and region of interest to a camera.
#pragma once

#include "camera/camera_device.h"

#include <cstdint>

// Seconds from the host; 0 (within 1e-10) selects the minimum read anew from the
// camera. A value equal to the last one set makes no camera call.
PvxStatus SetExposureTime(CameraDevice& cam, double seconds);

// Records the requested region, aligns it to the camera's increments and limits,
// programs the aligned window and retries (20 times, 5 ms apart) until the camera
// reads it back unchanged. After 20 mismatches the last attempt's status, which is
// PVX_OK when only the read-back differed.
PvxStatus SetRoi(CameraDevice& cam, uint32_t x, uint32_t y, uint32_t width, uint32_t height);
