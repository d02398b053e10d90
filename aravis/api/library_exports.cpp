// Exports: library initialisation, camera count, last error.
#include "aravis/api/export_support.h"
#include "camlib/last_error.h"

using namespace arv_backend;

// The mode is the adapter's constant 1; Aravis has one way to initialise.
PVX_EXPORT PvxStatus PVX_CALL pvxInitLibrary(uint32_t /*uiMode*/) {
    return camlib::Guarded([] { return Registry::Instance().Initialise(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraCount(int32_t* piCount) {
    if (!piCount)
        return camlib::NullArgument("piCount");
    return camlib::Guarded([&] { return Registry::Instance().CameraCount(*piCount); });
}

// Its own refusals leave the text it reports untouched.
PVX_EXPORT PvxStatus PVX_CALL pvxGetLastErrorText(char* pszText, uint32_t* puiSize) {
    return camlib::CopyLastErrorText(pszText, puiSize);
}
