// Feature inspection slots.
#include "features/inspection_slots.h"

#include "adapter/slot_guard.h"

int32_t AIK_CALL GetFeatureName(char* errText, int64_t, int32_t, char*) {
    return FailSlot("GetFeatureName", errText, kResultUnsuccessful);
}
int32_t AIK_CALL GetFeatureType(char* errText, int64_t, const char*, int32_t*) {
    return FailSlot("GetFeatureType", errText, kResultUnsuccessful);
}
int32_t AIK_CALL GetValidEnum(char* errText, int64_t, const char*, int32_t, char*) {
    return FailSlot("GetValidEnum", errText, kResultUnsuccessful);
}
int32_t AIK_CALL GetFeatureAttr(char* errText, int64_t, const char*, int32_t, char*) {
    return FailSlot("GetFeatureAttr", errText, kResultUnsuccessful);
}
