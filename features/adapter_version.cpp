// Formatting the module's file version.
#include "features/adapter_version.h"

#include "platform/module_version.h"

#include <cstdio>

std::string GetAdapterVersion() {
    uint16_t parts[4] = {};
    if (!platform::ModuleFileVersion(parts))
        return {};
    // Room for four five-digit parts and three dots, so no version is cut short.
    char text[24];
    snprintf(text, sizeof text, "%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
    return text;
}
