// Exports: library initialisation, camera count, last error.
#include "aravis/api/export_support.h"

#include <cstring>

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
    if (!pszText || !puiSize)
        return PVX_ERR_INVALID_PARAMETER;
    try {
        const std::string text = camlib::LastErrorText();
        if (text.size() + 1 > *puiSize)
            return PVX_ERR_BUFFER_TOO_SMALL;
        std::memcpy(pszText, text.c_str(), text.size() + 1);
        *puiSize = static_cast<uint32_t>(text.size() + 1);
        return PVX_OK;
    } catch (const std::bad_alloc&) {
        return 15;
    }
}
