// Handle numbering: the kind in the top byte, a process-wide serial below it.
#include "sim/core/handles.h"

#include <atomic>

namespace sim {

PvxHandle NewHandle(HandleKind kind) {
    static std::atomic<uint64_t> serial{0};
    return static_cast<uint64_t>(kind) << 56 | ++serial;
}

} // namespace sim
