// The host stand-in's operating-system services on POSIX systems.
#include "host/loader/host_os.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace aikhost {

LibraryHandle openLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* findSymbol(LibraryHandle library, const char* name) {
    return dlsym(library, name);
}

void closeLibrary(LibraryHandle library) {
    dlclose(library);
}

std::string lastLoadError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

std::string executableDirectory() {
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return ".";
    }
    std::string full(path.data(), static_cast<std::string::size_type>(length));
    std::string::size_type slash = full.find_last_of('/');
    return slash == 0 ? std::string("/") : full.substr(0, slash);
}

const char* moduleFileName() {
    return "QuorvexAIK64.so";
}

const char* const* cameraLibraryFileNames() {
    static const char* const names[] = {"libQuorvexApi64.so", "libQuorvexUtl64.so", nullptr};
    return names;
}

char pathSeparator() {
    return '/';
}

std::string systemCommand(const std::string& commandLine) {
    return commandLine;
}

void setEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) {
    unsetenv(name.c_str());
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

bool stdinIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool syncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

} // namespace aikhost
