// What the module does when the operating system loads and unloads it.
#pragma once

// Load: reads the configuration, which may set up the log.
void OnModuleLoad();
// Unload: writes out a memory log and closes the log, when the configuration set
// one up; then forgets that it did.
void OnModuleUnload();
