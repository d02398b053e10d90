// Exports of QuorvexUtl64: initialisation and the conversion into colour planes.
#include "camlib/planes.h"
#include "camlib/utility_gate.h"

using namespace camlib;

PVX_EXPORT PvxStatus PVX_CALL pvxUtlInit(void) {
    if (const auto fault = EnterUtilityCall(Operation::UtlInit, nullptr))
        return *fault;
    return PVX_OK;
}

PVX_EXPORT PvxStatus PVX_CALL pvxConvertToPlanes(uint32_t uiPixelFormat, uint8_t* pRed, uint8_t* pGreen,
                                                 uint8_t* pBlue, const void* pSource, uint32_t uiWidth,
                                                 uint32_t uiHeight) {
    if (const auto fault = EnterUtilityCall(Operation::ConvertToPlanes, pSource))
        return *fault;
    if (!pRed || !pGreen || !pBlue || !pSource || uiWidth == 0 || uiHeight == 0)
        return PVX_ERR_INVALID_PARAMETER;
    return ConvertImageToPlanes(uiPixelFormat, pRed, pGreen, pBlue, static_cast<const uint8_t*>(pSource),
                                uiWidth, uiHeight);
}
