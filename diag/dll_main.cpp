// The load and unload steps on Windows: the process attach and detach
// notifications.
#include "diag/module_lifecycle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        OnModuleLoad();
        // Nothing here needs to hear of threads; the module loads whatever the
        // configuration said.
        DisableThreadLibraryCalls(module);
        break;
    case DLL_PROCESS_DETACH:
        OnModuleUnload();
        break;
    default:
        break;
    }
    return TRUE;
}
