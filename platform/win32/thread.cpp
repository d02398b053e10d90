// Thread identity and sleeping on Win32.
#include "platform/thread.h"

#include <windows.h>

namespace platform {

uint32_t CurrentThreadId() {
    return GetCurrentThreadId();
}
void SleepMs(uint32_t milliseconds) {
    Sleep(milliseconds);
}

} // namespace platform
