// The registry of opened cameras: a channel identifier is a position in it. Below the
// slots: every slot resolves its channel here.
#pragma once

#include "camera/camera_device.h"

#include <cstdint>
#include <memory>
#include <vector>

// Each CameraDevice is allocated by itself and never moves while registered.
extern std::vector<std::unique_ptr<CameraDevice>> g_camDevice;

// The camera of a channel: the low 32 bits of channelID, unsigned, as a position in
// g_camDevice; nullptr when there is no such position.
CameraDevice* ResolveChannel(int64_t channelID);

// Stops, closes and frees every registered camera and empties g_camDevice; a camera
// that will not close is dropped all the same. False when the camera library let an
// exception out of any of those calls.
bool CloseAllCameras();
