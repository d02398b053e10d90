// Building and releasing the set of channels: what GetVideoChannel with device number 0
// and the ReleaseVideoChannel slot do. The top of the adapter, beside the entry point:
// it rebuilds the feature list, which resolves channels through the registry below.
#pragma once

#include "camera/quorvex_api.h"
#include "channel/video_channel.h"

#include <cstdint>

// Initialises the camera library, opens every camera it reports into g_camDevice and
// builds the feature list for channel 0. PVX_OK, PVX_ERR_UNSUCCESSFUL when the library
// cannot be initialised, or the status of the failed camera count.
PvxStatus initializeAdapter();

// Closes and frees every camera, whatever channelID, and empties the feature list;
// "UNSUCCESSFUL." and 1 when the camera library let an exception out on the way.
int32_t AIK_CALL ReleaseVideoChannel(char* errText, int64_t channelID);
