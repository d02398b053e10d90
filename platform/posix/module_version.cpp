// The module's file version on POSIX: the numbers the build compiled in.
#include "platform/module_version.h"

namespace platform {

bool ModuleFileVersion(uint16_t parts[4]) {
    parts[0] = AIK_VERSION_MAJOR;
    parts[1] = AIK_VERSION_MINOR;
    parts[2] = AIK_VERSION_BUILD;
    parts[3] = AIK_VERSION_REVISION;
    return true;
}

} // namespace platform
