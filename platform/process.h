// Facts about the running process: where its executable lives, its environment.
#pragma once

#include <cstddef>

namespace platform {

// The folder of the process's executable file (the host's, not a loaded module's),
// ending in a separator. False when it cannot be told or does not fit in size bytes.
bool ExecutableFolder(char* folder, size_t size);
// The value of an environment variable. False when it is not set or does not fit in
// size bytes.
bool EnvironmentValue(const char* name, char* value, size_t size);

} // namespace platform
