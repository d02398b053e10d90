// The common-settings slot.
#include "acquisition/common_params.h"

#include "adapter/slot_guard.h"

int32_t AIK_CALL SetupCommonParams(char* errText, int64_t channelID, const CommonParamsRecord*) {
    static constexpr const char* kName = "SetupCommonParams";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        if (ResolveOrReject(kName, errText, channelID) == nullptr)
            return 1;
        return FailSlot(kName, errText, kResultUnsuccessful);
    });
}
