// Symbols of a shared library the process has loaded already, found without loading it.
#pragma once

namespace platform {

// The address of symbol in the library of that base name (no "lib" prefix, no
// extension: "QuorvexApi64"), when the process has it loaded; nullptr otherwise.
void* LoadedLibrarySymbol(const char* baseName, const char* symbol);

} // namespace platform
