// What the seven feature slots share: their one shape (inner operation, guard, EXIT
// line, the feature lock where taken), their own failure messages, and the access
// rules they apply.
#pragma once

#include "channel/slot_guard.h"
#include "features/feature_lock.h"

#include <cstddef>
#include <cstdint>

// Capacity of the feature slots' own messages and of every text they hand back.
constexpr size_t kFeatureTextBytes = 256;

// Level of a feature slot's EXIT line: INFO for result 0, ERROR for result 1.
inline uint32_t ExitLevel(int32_t result) {
    return result == 0 ? LOG_INFO : LOG_ERROR;
}

// GenApi readable: read-only or read-write. Writable: write-only or read-write.
inline bool IsReadable(uint32_t access) {
    return access == PVX_ACCESS_RO || access == PVX_ACCESS_RW;
}
inline bool IsWritable(uint32_t access) {
    return access == PVX_ACCESS_WO || access == PVX_ACCESS_RW;
}

// A text the host hands a slot, as the slot works on it: at most the 255 characters
// a 256-byte buffer holds, since a host's text that fills its buffer need not end in
// a zero, and nothing past it is read. A null text stays null.
struct HostText {
    char bytes[kFeatureTextBytes];
    bool null;
    const char* get() const { return null ? nullptr : bytes; }
};
HostText BoundedHostText(const char* text);

// Copies text into a host buffer of kFeatureTextBytes.
void CopyFeatureText(char* destination, const char* text);

// "Injected failure in <slotName>.(<feature>)" into errText, the ordinary failure
// message of a feature slot; nothing when errText is null. Result 1.
int32_t FailFeature(char* errText, const char* slotName, const char* feature);
// "Feature <feature> is not <what>." into errText; nothing when errText is null.
// Result 1.
int32_t FailNotAccessible(char* errText, const char* feature, const char* what);

// A feature slot after its ENTER line: inner() under the exception guard, then
// exitLine(result) logs the EXIT line. An exception skips exitLine and leaves the
// guard's line, "UNSUCCESSFUL." and result 1 instead.
template <class Inner, class ExitLine>
int32_t RunFeatureSlot(const char* slotName, char* errText, Inner&& inner, ExitLine&& exitLine) noexcept {
    return GuardedSlot(slotName, errText, [&] {
        const int32_t result = inner();
        exitLine(result);
        return result;
    });
}

// The same holding g_featureLock until after the EXIT line or the guard's line.
template <class Inner, class ExitLine>
int32_t RunLockedFeatureSlot(const char* slotName, char* errText, Inner&& inner,
                             ExitLine&& exitLine) noexcept {
    CCsAutoLock lock(&g_featureLock);
    return RunFeatureSlot(slotName, errText, inner, exitLine);
}
