// A loaded library looked up with RTLD_NOLOAD, which never loads it.
#include "platform/loaded_library.h"

#include <dlfcn.h>

#include <string>

namespace platform {

void* LoadedLibrarySymbol(const char* baseName, const char* symbol) {
    const std::string file = std::string("lib") + baseName + ".so";
    void* library = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    void* address = dlsym(library, symbol);
    dlclose(library); // the look-up took a reference of its own
    return address;
}

} // namespace platform
