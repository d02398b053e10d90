// Image delivery slots.
#include "acquisition/image_delivery.h"

#include "adapter/slot_guard.h"

int32_t AIK_CALL GetImageAttributes(char* errText, int64_t channelID, ImageAttributes*, uint32_t*) {
    static constexpr const char* kName = "GetImageAttributes";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}

int32_t AIK_CALL GetImage(char* errText, int64_t channelID, void*, uint32_t*) {
    static constexpr const char* kName = "GetImage";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}
