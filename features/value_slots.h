// Reading, writing and executing features as text.
#pragma once

#include "channel/video_channel.h"

int32_t AIK_CALL ReadValue(char* errText, int64_t channelID, const char* addr, char* val);
int32_t AIK_CALL WriteValue(char* errText, int64_t channelID, const char* addr, const char* val);
int32_t AIK_CALL ExecuteCommand(char* errText, int64_t channelID, const char* feature);
