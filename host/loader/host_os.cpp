// The host stand-in's operating-system services that every system spells alike.
#include "host/loader/host_os.h"

#include <cstdlib>

namespace aikhost {

std::string environmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

} // namespace aikhost
