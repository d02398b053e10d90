// The calling thread's identity and sleeping.
#pragma once

#include <cstdint>

namespace platform {

// The operating system's numeric identifier of the calling thread.
uint32_t CurrentThreadId();
void SleepMs(uint32_t milliseconds);

} // namespace platform
