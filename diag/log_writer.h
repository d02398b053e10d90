// The diagnostic log writer: time-stamped, levelled lines and raw trace text, to a
// file or to a ring in memory that is written out at unload.
#pragma once

#include "diag/log_level.h"

#include <cstdint>

// True from a successful set-up until CloseLog. Read without a lock: it changes only
// while the module loads and unloads.
extern bool g_logEnabled;

// Writes "<seconds>,API <tag>ThreadId:<id>," and text with a line feed. False when
// the log is off, the level is above LOG_FATAL, or a file line could not be written;
// true otherwise, also for a line below the threshold. Texts over 254 characters
// are cut.
bool WriteLog(uint32_t level, const char* text);
// Writes text unchanged, only at the DEBUG threshold (a ring keeps at most its first
// 512 characters). False as for WriteLog.
bool WriteTrace(const char* text);

// The smallest ring a memory log takes.
constexpr uint32_t kMinimumRingBytes = 32;

// Set-up, while the module loads; false when a target is set up already, size is
// below kMinimumRingBytes, or the ring cannot be allocated.
bool InitMemoryLog(uint32_t size, uint32_t level);
// Set-up, while the module loads: creates or empties the file at path (its folder
// too, one level deep). False when the log is on already, path is null or longer
// than 259 characters, or the file cannot be created.
bool InitFileLog(const char* path, uint32_t level);
// Writes the ring, oldest byte first, to a file at path; the ring is unchanged.
// False without a memory log, when the volume is short of space, or when the file
// cannot be opened.
bool FlushMemoryLog(const char* path);
// Ends logging, while the module unloads, and releases the ring. False when the log
// was not on.
bool CloseLog();
