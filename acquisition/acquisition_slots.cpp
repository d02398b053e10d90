// Acquisition slots.
#include "acquisition/acquisition_slots.h"

#include "adapter/slot_guard.h"

int32_t AIK_CALL StartAcquisition(char* errText, int64_t channelID) {
    static constexpr const char* kName = "StartAcquisition";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}

int32_t AIK_CALL StopAcquisition(char* errText, int64_t channelID) {
    static constexpr const char* kName = "StopAcquisition";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}

int32_t AIK_CALL WaitForIntegration(char* errText, int64_t channelID, uint32_t*) {
    static constexpr const char* kName = "WaitForIntegration";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}
