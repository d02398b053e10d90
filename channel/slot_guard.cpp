// Channel checks and failure exits shared by the slots.
#include "channel/slot_guard.h"

CameraDevice* ResolveOrReject(const char* slotName, char* errText, int64_t channelID) {
    CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr) {
        SetResultText(errText, PVX_ERR_INVALID_PARAMETER);
        AIK_LOG(LOG_ERROR, "EXIT : %s, %s", slotName, ResultMessage(PVX_ERR_INVALID_PARAMETER));
    }
    return cam;
}

int32_t FailSlot(const char* slotName, char* errText, PvxStatus code) {
    SetResultText(errText, code);
    AIK_LOG(LOG_ERROR, "EXIT : %s(%s)", slotName, ResultMessage(code));
    return 1;
}
