// The configuration read at load: one line of QuorvexSDK.cfg sets up the log.
#pragma once

#include <string>

// Full path of the log file: the configured folder, a separator and the dated file
// name; empty until a configuration line reaches its PATH= value. Inline, so that a
// translation unit including this header constructs it before its own globals and
// destroys it after them: the POSIX load hooks rely on that.
inline std::string g_logPath;
// Set by each adapter line that names a target: true for MEMORY, false for FILE.
extern bool g_logToMemory;
// The result of the last set-up a configuration line asked for; decides what the
// unload steps do.
extern bool g_logConfigured;

// Finds QuorvexSDK.cfg beside the process's executable, else under the folder named
// by QUORVEXSDK, and reads it.
void LoadConfiguration();
// Parses every line of the file, in pieces of at most 255 characters; a failed size
// conversion ends the reading.
void ReadConfigFile(const char* path);
// Parses one line and may set up the log. Throws std::invalid_argument or
// std::out_of_range when a MEMORY line's size is not a 32-bit number.
void ParseConfigLine(std::string line);
