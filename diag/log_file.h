// The log writer's dealings with the file system: the log's folder, the free-space
// guard and opening a file that another process may hold for a moment.
#pragma once

#include <cstdio>

// Creates the folder that holds path when it is missing. Only the last level is
// created; a missing parent makes the creation fail, silently, and the following
// open fails instead.
void EnsureLogFolder(const char* path);

// True when the volume holding path has fewer than 200,000,000 free bytes. A volume
// that cannot be queried is not refused.
bool LogVolumeShortOfSpace(const char* path);

// Opens path with mode in up to ten attempts a millisecond apart, draining the
// thread's window messages after each of the last three; nullptr when all fail.
FILE* OpenLogFile(const char* path, const char* mode);
