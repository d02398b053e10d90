// The module's one export and the routine that fills the host's record: the top of the
// adapter, which hands out every slot.
#pragma once

#include "channel/video_channel.h"
#include "platform/export.h"

// Device number 0 (re)initialises the adapter; every call fills rec for that camera.
// 0 when rec was filled, 1 otherwise (past the last camera errText stays untouched).
AIK_EXPORT int32_t AIK_CALL GetVideoChannel(char* errText, uint32_t deviceNum, VideoChannelRecord* rec);

// Fills rec for registry position deviceNum, which the caller has checked. Returns 0.
int32_t initializeSampleVideoChannel(VideoChannelRecord* rec, int32_t deviceNum);
