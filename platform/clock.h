// The high-resolution performance counter.
#pragma once

#include <cstdint>

namespace platform {

int64_t PerfCounter();
// Ticks of PerfCounter per second.
int64_t PerfFrequency();

} // namespace platform
