// The few operating-system services the host stand-in needs: loading a shared
// library, finding its symbols, locating the running program and setting variables.
#ifndef AIKHOST_HOST_OS_H
#define AIKHOST_HOST_OS_H

#include <cstdio>
#include <string>

namespace aikhost {

// Opaque handle of a loaded shared library; nullptr when none.
using LibraryHandle = void*;

// Loads the shared library at path; nullptr on failure, with the reason in lastLoadError().
LibraryHandle openLibrary(const std::string& path);
// Address of an exported symbol, nullptr when the library does not export it.
void* findSymbol(LibraryHandle library, const char* name);
void closeLibrary(LibraryHandle library);
// The system's text for the last failed openLibrary or findSymbol.
std::string lastLoadError();

// Folder of the running executable, without a trailing separator.
std::string executableDirectory();
// The file name the module has on this platform.
const char* moduleFileName();
// The file names of the camera family's access and utility libraries, in load order.
const char* const* cameraLibraryFileNames(); // ends with nullptr
char pathSeparator();

// The text to hand std::system for a command line whose words are already quoted:
// Windows' shell drops the first and last quote of such a line, so there it gets one
// more pair around it.
std::string systemCommand(const std::string& commandLine);

// Sets (or, with unset, removes) an environment variable of this process.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);
// The value of an environment variable; empty when unset.
std::string environmentValue(const std::string& name);

// Whether standard error goes to a terminal (not a pipe or a file).
bool stderrIsTerminal();
// Whether standard input comes from a terminal.
bool stdinIsTerminal();

// Hands what the C library wrote to file on to the disk (fsync, _commit); false with
// errno set when the system could not.
bool syncToDisk(std::FILE* file);

} // namespace aikhost

#endif
