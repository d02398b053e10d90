// Telling the host the image geometry, and delivering completed images.
#pragma once

#include "channel/video_channel.h"

int32_t AIK_CALL GetImageAttributes(char* errText, int64_t channelID, ImageAttributes* attributes,
                                    uint32_t* acqResult);
int32_t AIK_CALL GetImage(char* errText, int64_t channelID, void* buffer, uint32_t* acqResult);
