// The feature slots' texts and messages.
#include "features/feature_slot.h"

#include <cstdio>
#include <cstring>

HostText BoundedHostText(const char* text) {
    HostText bounded;
    bounded.null = text == nullptr;
    const size_t length = text == nullptr ? 0 : strnlen(text, kFeatureTextBytes - 1);
    if (length > 0)
        memcpy(bounded.bytes, text, length);
    bounded.bytes[length] = '\0';
    return bounded;
}

void CopyFeatureText(char* destination, const char* text) {
    snprintf(destination, kFeatureTextBytes, "%s", text);
}

int32_t FailFeature(char* errText, const char* slotName, const char* feature) {
    if (errText != nullptr)
        snprintf(errText, kFeatureTextBytes, "Injected failure in %s.(%s)", slotName, feature);
    return 1;
}

int32_t FailNotAccessible(char* errText, const char* feature, const char* what) {
    if (errText != nullptr)
        snprintf(errText, kFeatureTextBytes, "Feature %s is not %s.", feature, what);
    return 1;
}
