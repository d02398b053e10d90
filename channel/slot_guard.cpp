// Channel checks and failure exits shared by the slots.
#include "channel/slot_guard.h"

CameraDevice* ResolveOrReject(const char* slotName, char* errText, int64_t channelID) {
    CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr) {
        SetResultText(errText, kResultInvalidParameter);
        AIK_LOG(LOG_ERROR, "EXIT : %s, %s", slotName, ResultMessage(kResultInvalidParameter));
    }
    return cam;
}

int32_t FailSlot(const char* slotName, char* errText, uint32_t code) {
    SetResultText(errText, code);
    AIK_LOG(LOG_ERROR, "EXIT : %s(%s)", slotName, ResultMessage(code));
    return 1;
}
