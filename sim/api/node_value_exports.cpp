// Exports: typed node values. The verify and ignore-cache flags change nothing: the
// simulator always checks access and limits and reads the camera's current state.
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue,
                                             bool /*bVerify*/, bool /*bIgnoreCache*/) {
    if (const auto fault = EnterCall(camlib::Operation::GetIntValue, OnNode(hCam, hNode)))
        return *fault;
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetInt(hNode, *pllValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t llValue,
                                             bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::SetIntValue, OnNode(hCam, hNode)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetInt(hNode, llValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMin(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetIntMin, OnNode(hCam, hNode)))
        return *fault;
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetIntLimit(hNode, false, *pllValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMax(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetIntMax, OnNode(hCam, hNode)))
        return *fault;
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetIntLimit(hNode, true, *pllValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatValue(PvxHandle hCam, PvxHandle hNode, double* pdValue,
                                               bool /*bVerify*/, bool /*bIgnoreCache*/) {
    if (const auto fault = EnterCall(camlib::Operation::GetFloatValue, OnNode(hCam, hNode)))
        return *fault;
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetFloat(hNode, *pdValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetFloatValue(PvxHandle hCam, PvxHandle hNode, double dValue,
                                               bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::SetFloatValue, OnNode(hCam, hNode)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetFloat(hNode, dValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMin(PvxHandle hCam, PvxHandle hNode, double* pdValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetFloatMin, OnNode(hCam, hNode)))
        return *fault;
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetFloatLimit(hNode, false, *pdValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMax(PvxHandle hCam, PvxHandle hNode, double* pdValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetFloatMax, OnNode(hCam, hNode)))
        return *fault;
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetFloatLimit(hNode, true, *pdValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatPrecision(PvxHandle hCam, PvxHandle hNode, int64_t* pllPrecision) {
    if (const auto fault = EnterCall(camlib::Operation::GetFloatPrecision, OnNode(hCam, hNode)))
        return *fault;
    if (!pllPrecision)
        return camlib::NullArgument("pllPrecision");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetFloatPrecision(hNode, *pllPrecision); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetBoolValue(PvxHandle hCam, PvxHandle hNode, bool* pbValue,
                                              bool /*bVerify*/, bool /*bIgnoreCache*/) {
    if (const auto fault = EnterCall(camlib::Operation::GetBoolValue, OnNode(hCam, hNode)))
        return *fault;
    if (!pbValue)
        return camlib::NullArgument("pbValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetBool(hNode, *pbValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetBoolValue(PvxHandle hCam, PvxHandle hNode, bool bValue,
                                              bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::SetBoolValue, OnNode(hCam, hNode)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetBool(hNode, bValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetStringValue(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                uint32_t uiCapacity, bool /*bVerify*/,
                                                bool /*bIgnoreCache*/) {
    if (const auto fault = EnterCall(camlib::Operation::GetStringValue, OnNode(hCam, hNode)))
        return *fault;
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetString(hNode, pszValue, uiCapacity); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetStringValue(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::SetStringValue, OnNode(hCam, hNode)))
        return *fault;
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetString(hNode, pszValue); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumValueText(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                  uint32_t uiCapacity, bool /*bVerify*/,
                                                  bool /*bIgnoreCache*/) {
    if (const auto fault = EnterCall(camlib::Operation::GetEnumValueText, OnNode(hCam, hNode)))
        return *fault;
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetEnumText(hNode, pszValue, uiCapacity); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetEnumValueText(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                  bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::SetEnumValueText, OnNode(hCam, hNode)))
        return *fault;
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetEnumText(hNode, pszValue); });
}
