// Exports: finding nodes, their type, access and description, enumeration entries
// and commands.
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

PVX_EXPORT PvxStatus PVX_CALL pvxGetNode(PvxHandle hCam, const char* pszName, PvxHandle* phNode) {
    if (const auto fault = EnterCall(camlib::Operation::GetNode, OnNodeName(hCam, pszName)))
        return *fault;
    if (!pszName || !phNode)
        return camlib::NullArgument(!pszName ? "pszName" : "phNode");
    return WithCamera(hCam, [&](Camera& camera) { return camera.FindNode(pszName, *phNode); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeType(PvxHandle hCam, PvxHandle hNode, uint32_t* puiType) {
    if (const auto fault = EnterCall(camlib::Operation::GetNodeType, OnNode(hCam, hNode)))
        return *fault;
    if (!puiType)
        return camlib::NullArgument("puiType");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetNodeType(hNode, *puiType); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeAccess(PvxHandle hCam, PvxHandle hNode, uint32_t* puiAccess) {
    if (const auto fault = EnterCall(camlib::Operation::GetNodeAccess, OnNode(hCam, hNode)))
        return *fault;
    if (!puiAccess)
        return camlib::NullArgument("puiAccess");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetNodeAccess(hNode, *puiAccess); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeDescription(PvxHandle hCam, PvxHandle hNode, char* pszText,
                                                    uint32_t* puiSize) {
    if (const auto fault = EnterCall(camlib::Operation::GetNodeDescription, OnNode(hCam, hNode)))
        return *fault;
    if (!pszText || !puiSize)
        return camlib::NullArgument(!pszText ? "pszText" : "puiSize");
    return WithCamera(hCam,
                      [&](Camera& camera) { return camera.GetNodeDescription(hNode, pszText, *puiSize); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryCount(PvxHandle hCam, PvxHandle hNode, uint32_t* puiCount) {
    if (const auto fault = EnterCall(camlib::Operation::GetEnumEntryCount, OnNode(hCam, hNode)))
        return *fault;
    if (!puiCount)
        return camlib::NullArgument("puiCount");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetEnumEntryCount(hNode, *puiCount); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntry(PvxHandle hCam, PvxHandle hNode, uint32_t uiIndex,
                                              PvxHandle* phEntry) {
    if (const auto fault = EnterCall(camlib::Operation::GetEnumEntry, OnNode(hCam, hNode)))
        return *fault;
    if (!phEntry)
        return camlib::NullArgument("phEntry");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetEnumEntry(hNode, uiIndex, *phEntry); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryName(PvxHandle hCam, PvxHandle hEntry, char* pszName,
                                                  uint32_t* puiSize) {
    if (const auto fault = EnterCall(camlib::Operation::GetEnumEntryName, OnNode(hCam, hEntry)))
        return *fault;
    if (!pszName || !puiSize)
        return camlib::NullArgument(!pszName ? "pszName" : "puiSize");
    return WithCamera(hCam,
                      [&](Camera& camera) { return camera.GetEnumEntryName(hEntry, pszName, *puiSize); });
}

// Verification changes nothing: the simulator always checks access and limits.
PVX_EXPORT PvxStatus PVX_CALL pvxExecuteCommand(PvxHandle hCam, PvxHandle hNode, bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::ExecuteCommand, OnNode(hCam, hNode)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) { return camera.ExecuteCommand(hNode); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxIsCommandDone(PvxHandle hCam, PvxHandle hNode, bool* pbDone,
                                               bool /*bVerify*/) {
    if (const auto fault = EnterCall(camlib::Operation::IsCommandDone, OnNode(hCam, hNode)))
        return *fault;
    if (!pbDone)
        return camlib::NullArgument("pbDone");
    return WithCamera(hCam, [&](Camera& camera) { return camera.IsCommandDone(hNode, *pbDone); });
}
