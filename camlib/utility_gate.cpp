// Finding QuorvexApi64's gate at run time, without linking to it.
#include "camlib/utility_gate.h"

#include "platform/loaded_library.h"

#include <atomic>

namespace camlib {

namespace {

using Gate = int32_t(PVX_CALL*)(const char*, const void*, PvxStatus*);
constexpr const char* kGateName = "pvxSimEnterUtilityCall";

// The gate of the access library if it is loaded; never loads it.
Gate FindGate() {
    return reinterpret_cast<Gate>(platform::LoadedLibrarySymbol("QuorvexApi64", kGateName));
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

} // namespace camlib
