// Handle numbering: the kind in the top byte, a process-wide serial below it.
#include "sim/core/handles.h"

#include <atomic>
#include <cstdio>

namespace sim {

PvxHandle NewHandle(HandleKind kind) {
    static std::atomic<uint64_t> serial{0};
    return static_cast<uint64_t>(kind) << 56 | ++serial;
}

std::string HandleText(PvxHandle handle) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(handle));
    return text;
}

} // namespace sim
