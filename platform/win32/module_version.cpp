// The module's file version on Win32, read from its own version resource.
#include "platform/module_version.h"

#include <vector>
#include <windows.h>

namespace platform {

namespace {

// The module is found from an address inside it, so the answer is the DLL's even
// though the host's executable loaded it.
HMODULE ThisModule() {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(reinterpret_cast<LPCVOID>(&ModuleFileVersion), &region, sizeof region) == 0)
        return nullptr;
    return static_cast<HMODULE>(region.AllocationBase);
}

} // namespace

bool ModuleFileVersion(uint16_t parts[4]) {
    HMODULE module = ThisModule();
    if (module == nullptr)
        return false;
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(module, path, MAX_PATH) == 0)
        return false;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoBytes = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&info), &infoBytes) || info == nullptr)
        return false;
    parts[0] = HIWORD(info->dwFileVersionMS);
    parts[1] = LOWORD(info->dwFileVersionMS);
    parts[2] = HIWORD(info->dwFileVersionLS);
    parts[3] = LOWORD(info->dwFileVersionLS);
    return true;
}

} // namespace platform
