// Applying the host's common settings: region, exposure, contrast, brightness, trigger.
#pragma once

#include "channel/video_channel.h"

int32_t AIK_CALL SetupCommonParams(char* errText, int64_t channelID, const CommonParamsRecord* params);
