// Exports: library initialisation, camera count, last error.
#include "camlib/last_error.h"
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

// The mode is the adapter's constant 1; the simulator has one way to initialise.
PVX_EXPORT PvxStatus PVX_CALL pvxInitLibrary(uint32_t /*uiMode*/) {
    if (const auto fault = EnterCall(camlib::Operation::InitLibrary, OnLibrary()))
        return *fault;
    return camlib::Guarded([] { return Registry::Instance().Initialise(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraCount(int32_t* piCount) {
    if (const auto fault = EnterCall(camlib::Operation::GetCameraCount, OnLibrary()))
        return *fault;
    if (!piCount)
        return camlib::NullArgument("piCount");
    return camlib::Guarded([&] { return Registry::Instance().CameraCount(*piCount); });
}

// Its own refusals leave the text it reports untouched.
PVX_EXPORT PvxStatus PVX_CALL pvxGetLastErrorText(char* pszText, uint32_t* puiSize) {
    if (const auto fault = EnterCall(camlib::Operation::GetLastErrorText, OnLibrary()))
        return *fault;
    return camlib::CopyLastErrorText(pszText, puiSize);
}
