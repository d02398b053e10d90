// The feature slots' texts and messages.
#include "features/feature_slot.h"

#include <cstdio>

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
