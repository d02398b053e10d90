// Listing a channel's features and inspecting each one's type, attributes and
// enumeration values.
#pragma once

#include "channel/video_channel.h"

int32_t AIK_CALL GetFeatureName(char* errText, int64_t channelID, int32_t index, char* feature);
int32_t AIK_CALL GetFeatureType(char* errText, int64_t channelID, const char* feature, int32_t* type);
int32_t AIK_CALL GetValidEnum(char* errText, int64_t channelID, const char* feature, int32_t enumIndex,
                              char* value);
int32_t AIK_CALL GetFeatureAttr(char* errText, int64_t channelID, const char* feature, int32_t attr,
                                char* result);
