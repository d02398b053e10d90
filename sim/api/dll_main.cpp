// Windows: the detach notification of a terminating process (lpReserved not null)
// arrives before the library's static objects are destroyed, and after the process's
// other threads have ended.
#include "sim/core/process_exit.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        sim::MarkProcessExiting();
    return TRUE;
}
