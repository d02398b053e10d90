// Feature value slots.
#include "features/value_slots.h"

#include "adapter/slot_guard.h"

int32_t AIK_CALL ReadValue(char* errText, int64_t, const char*, char*) {
    return FailSlot("ReadValue", errText, kResultUnsuccessful);
}
int32_t AIK_CALL WriteValue(char* errText, int64_t, const char*, const char*) {
    return FailSlot("WriteValue", errText, kResultUnsuccessful);
}
int32_t AIK_CALL ExecuteCommand(char* errText, int64_t, const char*) {
    return FailSlot("ExecuteCommand", errText, kResultUnsuccessful);
}
