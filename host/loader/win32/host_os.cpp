// The host stand-in's operating-system services on Windows.
#include "host/loader/host_os.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <io.h>

namespace aikhost {

namespace {
DWORD g_lastError = 0;
}

// A path with a folder in it: the libraries the module imports are looked for in that
// folder first, as the POSIX build's $ORIGIN does. That search needs the full path.
LibraryHandle openLibrary(const std::string& path) {
    HMODULE module = nullptr;
    char fullPath[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
    if (path.find_first_of("\\/") == std::string::npos || length == 0 || length >= MAX_PATH) {
        module = LoadLibraryA(path.c_str());
    } else {
        module = LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (module == nullptr) {
        g_lastError = GetLastError();
    }
    return reinterpret_cast<LibraryHandle>(module);
}

void* findSymbol(LibraryHandle library, const char* name) {
    FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(library), name);
    if (address == nullptr) {
        g_lastError = GetLastError();
    }
    return reinterpret_cast<void*>(address);
}

void closeLibrary(LibraryHandle library) {
    FreeLibrary(reinterpret_cast<HMODULE>(library));
}

std::string lastLoadError() {
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  g_lastError, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) {
        text[--length] = '\0';
    }
    return length > 0 ? std::string(text, length) : "system error " + std::to_string(g_lastError);
}

std::string executableDirectory() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    std::string::size_type slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : full.substr(0, slash);
}

const char* moduleFileName() {
    return "QuorvexAIK64.dll";
}

const char* const* cameraLibraryFileNames() {
    static const char* const names[] = {"QuorvexApi64.dll", "QuorvexUtl64.dll", nullptr};
    return names;
}

char pathSeparator() {
    return '\\';
}

std::string systemCommand(const std::string& commandLine) {
    return "\"" + commandLine + "\"";
}

void setEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable from the process environment on Windows.
void unsetEnvironment(const std::string& name) {
    _putenv_s(name.c_str(), "");
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

bool stdinIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

bool syncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

} // namespace aikhost
