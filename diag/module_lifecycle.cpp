// The load and unload steps, the same on every platform.
#include "diag/module_lifecycle.h"

#include "diag/config.h"
#include "diag/log_writer.h"

void OnModuleLoad() {
    LoadConfiguration();
}

void OnModuleUnload() {
    // A later line whose set-up was refused leaves g_logConfigured false: then the
    // log that the earlier line set up is neither written out nor closed.
    if (g_logConfigured) {
        if (!g_logPath.empty() && g_logToMemory)
            FlushMemoryLog(g_logPath.c_str());
        CloseLog();
    }
    g_logConfigured = false;
}
