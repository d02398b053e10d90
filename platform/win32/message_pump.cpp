// Draining the calling thread's window-message queue on Win32.
#include "platform/message_pump.h"

#include <windows.h>

namespace platform {

void DrainMessageQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace platform
