// The registry of opened cameras: a channel identifier is a position in it.
#pragma once

#include "adapter/video_channel.h"
#include "camera/camera_device.h"

#include <cstdint>
#include <memory>
#include <vector>

// Each CameraDevice is allocated by itself and never moves while registered.
extern std::vector<std::unique_ptr<CameraDevice>> g_camDevice;

// The camera of a channel: the low 32 bits of channelID, unsigned, as a position in
// g_camDevice; nullptr when there is no such position.
CameraDevice* ResolveChannel(int64_t channelID);

// Initialises the camera library, opens every camera it reports into g_camDevice and
// builds the feature list for channel 0. 0, -1 when the library cannot be
// initialised, or the status of the failed camera count.
int32_t initializeAdapter();

// Closes and frees every camera, whatever channelID, and empties the feature list.
int32_t AIK_CALL ReleaseVideoChannel(char* errText, int64_t channelID);
