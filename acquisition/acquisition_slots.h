// Starting and stopping a channel's image stream, and polling for completed images.
#pragma once

#include "channel/video_channel.h"

#include <cstdint>

// The longest WaitForIntegration and GetImage wait for the camera's frame signal.
constexpr uint32_t kFrameWaitMs = 10;

int32_t AIK_CALL StartAcquisition(char* errText, int64_t channelID);
int32_t AIK_CALL StopAcquisition(char* errText, int64_t channelID);
// 0 for any valid channel; acqResult tells whether an image completed within the wait.
int32_t AIK_CALL WaitForIntegration(char* errText, int64_t channelID, uint32_t* acqResult);
