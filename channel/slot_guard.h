// The shape every slot shares: the exception guard, and the channel check of the
// acquisition slots.
#pragma once

#include "camera/result_text.h"
#include "channel/registry.h"
#include "diag/log.h"

#include <cstdint>

// Writes the code's message and logs "EXIT : %s(%s)" at ERROR; result 1.
int32_t FailSlot(const char* slotName, char* errText, PvxStatus code);

// Runs a slot's body; an exception that escapes it becomes "UNSUCCESSFUL.", the
// guard's EXIT line and result 1. No exception leaves the module.
template <class Body> int32_t GuardedSlot(const char* slotName, char* errText, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return FailSlot(slotName, errText, PVX_ERR_UNSUCCESSFUL);
    }
}

// The camera of channelID, or nullptr after "INVALID PARAMETER." and its EXIT line.
CameraDevice* ResolveOrReject(const char* slotName, char* errText, int64_t channelID);
