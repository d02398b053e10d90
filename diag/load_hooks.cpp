// The load and unload steps on POSIX, where a shared object has no DllMain: the
// lifetime of one static object, constructed when the object is loaded and
// destroyed when it is unloaded (or the process exits).
#include "diag/config.h" // g_logPath is constructed before the hooks and destroyed after
#include "diag/module_lifecycle.h"

namespace {

struct LoadHooks {
    LoadHooks() { OnModuleLoad(); }
    ~LoadHooks() { OnModuleUnload(); }
    LoadHooks(const LoadHooks&) = delete;
    LoadHooks& operator=(const LoadHooks&) = delete;
};

const LoadHooks g_loadHooks;

} // namespace
