// A loaded library looked up with GetModuleHandleA, which never loads it.
#include "platform/loaded_library.h"

#include <windows.h>

#include <string>

namespace platform {

void* LoadedLibrarySymbol(const char* baseName, const char* symbol) {
    const std::string file = std::string(baseName) + ".dll";
    const HMODULE library = GetModuleHandleA(file.c_str());
    return library ? reinterpret_cast<void*>(GetProcAddress(library, symbol)) : nullptr;
}

} // namespace platform
