// Marks the module's one exported function: undecorated, C linkage.
#pragma once

#ifdef _WIN32
#define AIK_EXPORT extern "C" __declspec(dllexport)
#else
#define AIK_EXPORT extern "C" __attribute__((visibility("default")))
#endif
