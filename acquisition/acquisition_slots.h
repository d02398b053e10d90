// Starting and stopping a channel's image stream, and polling for completed images.
#pragma once

#include "adapter/video_channel.h"

int32_t AIK_CALL StartAcquisition(char* errText, int64_t channelID);
int32_t AIK_CALL StopAcquisition(char* errText, int64_t channelID);
int32_t AIK_CALL WaitForIntegration(char* errText, int64_t channelID, uint32_t* acqResult);
