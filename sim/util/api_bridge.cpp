// Finding QuorvexApi64's gate at run time, without linking to it.
#include "sim/util/api_bridge.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sim {

namespace {

using Gate = int32_t(PVX_CALL*)(const char*, const void*, PvxStatus*);
constexpr const char* kGateName = "pvxSimEnterUtilityCall";

// The gate of the access library if it is loaded; never loads it.
Gate FindGate() {
#ifdef _WIN32
    const HMODULE library = GetModuleHandleA("QuorvexApi64.dll");
    return library ? reinterpret_cast<Gate>(reinterpret_cast<void*>(GetProcAddress(library, kGateName)))
                   : nullptr;
#else
    void* library = dlopen("libQuorvexApi64.so", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    void* symbol = dlsym(library, kGateName);
    dlclose(library); // the look-up took a reference of its own
    return reinterpret_cast<Gate>(symbol);
#endif
}

} // namespace

std::optional<PvxStatus> EnterUtilityCall(Operation operation, const void* image) {
    // Both libraries load and unload together under the adapter, so the gate once
    // found stays valid.
    static std::atomic<Gate> gate{nullptr};
    Gate current = gate.load();
    if (!current) {
        current = FindGate();
        gate.store(current);
    }
    if (!current)
        return std::nullopt;
    PvxStatus status = PVX_OK;
    // The names are literals, so the view ends in a NUL.
    if (current(OperationName(operation).data(), image, &status) == 0)
        return std::nullopt;
    return status;
}

} // namespace sim
