// Reading, writing and executing features as text, serialised by the feature lock.
#include "features/value_slots.h"

#include "camera/node_access.h"
#include "camera/number_text.h"
#include "features/adapter_version.h"
#include "features/catalogue.h"
#include "features/feature_slot.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kReadValue = "ReadValue";
constexpr const char* kWriteValue = "WriteValue";
constexpr const char* kExecuteCommand = "ExecuteCommand";

// ReadValue of this prefix and a number names the listed feature at that index.
constexpr char kFeatureNamePrefix[] = "FeatureName_";
constexpr size_t kFeatureNamePrefixLength = sizeof kFeatureNamePrefix - 1;

int32_t ListedFeatureAt(int64_t channelID, const char* index, char* val) {
    // Read as the Windows runtime reads it: a number beyond the range saturates
    // instead of wrapping onto a listed index.
    const int64_t n = ParseLong32(index);
    UpdateFeatures(channelID);
    if (n >= 0 && static_cast<uint64_t>(n) < g_featureList.size())
        CopyFeatureText(val, g_featureList[static_cast<size_t>(n)].get());
    else
        val[0] = '\0';
    return 0;
}

// The text of a node's value by its type; PVX_ERR_UNSUCCESSFUL for a type that has none.
PvxStatus NodeValueText(const CameraDevice& cam, PvxHandle node, uint32_t nodeType, char* val) {
    switch (nodeType) {
    case PVX_NODE_INTEGER:
        return GetIntNodeText(cam, node, val);
    case PVX_NODE_BOOLEAN:
        return GetBoolNodeText(cam, node, val);
    case PVX_NODE_COMMAND:
        return PVX_OK;
    case PVX_NODE_FLOAT:
        return GetFloatNodeText(cam, node, val);
    case PVX_NODE_STRING:
        return pvxGetStringValue(cam.m_hCam, node, val, kFeatureTextBytes, false, false);
    case PVX_NODE_ENUMERATION:
        return pvxGetEnumValueText(cam.m_hCam, node, val, kFeatureTextBytes, false, false);
    default:
        return PVX_ERR_UNSUCCESSFUL;
    }
}

// The text of a limit of an integer or float node; PVX_ERR_UNSUCCESSFUL for any other
// type.
PvxStatus NodeLimitText(const CameraDevice& cam, PvxHandle node, uint32_t nodeType, FeatureKind kind,
                        char* val) {
    const bool minimum = kind == FeatureKind::Minimum;
    if (nodeType == PVX_NODE_FLOAT)
        return minimum ? GetFloatMinText(cam, node, val) : GetFloatMaxText(cam, node, val);
    if (nodeType != PVX_NODE_INTEGER)
        return PVX_ERR_UNSUCCESSFUL;
    int64_t limit = 0;
    const PvxStatus status =
        minimum ? pvxGetIntMin(cam.m_hCam, node, &limit) : pvxGetIntMax(cam.m_hCam, node, &limit);
    if (status == PVX_OK)
        snprintf(val, kFeatureTextBytes, "%lld", static_cast<long long>(limit));
    return status;
}

int32_t ReadNodeValue(char* errText, const CameraDevice& cam, const char* addr, char* val) {
    char baseName[kFeatureNameBytes];
    const FeatureKind kind = SplitFeatureName(addr, baseName);
    PvxHandle node = 0;
    uint32_t access = 0;
    uint32_t nodeType = 0;
    if (pvxGetNode(cam.m_hCam, baseName, &node) != PVX_OK ||
        pvxGetNodeAccess(cam.m_hCam, node, &access) != PVX_OK ||
        pvxGetNodeType(cam.m_hCam, node, &nodeType) != PVX_OK)
        return FailFeature(errText, kReadValue, addr);
    if (!IsReadable(access))
        return FailNotAccessible(errText, addr, "readable");
    const PvxStatus status = kind == FeatureKind::Node ? NodeValueText(cam, node, nodeType, val)
                                                       : NodeLimitText(cam, node, nodeType, kind, val);
    return status == PVX_OK ? 0 : FailFeature(errText, kReadValue, addr);
}

int32_t ReadFeatureValue(char* errText, int64_t channelID, const char* addr, char* val) {
    if (strncmp(addr, kFeatureNamePrefix, kFeatureNamePrefixLength) == 0)
        return ListedFeatureAt(channelID, addr + kFeatureNamePrefixLength, val);
    try {
        val[0] = '\0';
        // Every read but the index form needs a camera, the adapter's own feature
        // included, as for the slots that describe features: result 1 and no message.
        const CameraDevice* cam = ResolveChannel(channelID);
        if (cam == nullptr)
            return 1;
        if (IsAdapterVersionName(addr)) {
            CopyFeatureText(val, GetAdapterVersion().c_str());
            return 0;
        }
        return ReadNodeValue(errText, *cam, addr, val);
    } catch (...) {
        return FailFeature(errText, kReadValue, addr);
    }
}

// The write by node type; PVX_ERR_UNSUCCESSFUL for a type that takes no value.
PvxStatus SetNodeValue(const CameraDevice& cam, PvxHandle node, uint32_t nodeType, const char* val) {
    switch (nodeType) {
    case PVX_NODE_INTEGER:
        if (val == nullptr)
            return PVX_ERR_INVALID_PARAMETER;
        return pvxSetIntValue(cam.m_hCam, node, ParseLong32(val), true);
    case PVX_NODE_BOOLEAN:
        return SetBoolNodeText(cam, node, val);
    case PVX_NODE_COMMAND:
        return PVX_OK;
    case PVX_NODE_FLOAT:
        return SetFloatNodeText(cam, node, val);
    case PVX_NODE_STRING:
        return pvxSetStringValue(cam.m_hCam, node, val, true);
    case PVX_NODE_ENUMERATION:
        return pvxSetEnumValueText(cam.m_hCam, node, val, true);
    default:
        return PVX_ERR_UNSUCCESSFUL;
    }
}

// Writes know neither companions nor the adapter's feature: addr is a node name.
int32_t WriteNodeValue(char* errText, const CameraDevice& cam, const char* addr, const char* val) {
    try {
        PvxHandle node = 0;
        uint32_t access = 0;
        if (pvxGetNode(cam.m_hCam, addr, &node) != PVX_OK ||
            pvxGetNodeAccess(cam.m_hCam, node, &access) != PVX_OK)
            return FailFeature(errText, kWriteValue, addr);
        if (!IsWritable(access))
            return FailNotAccessible(errText, addr, "writable");
        uint32_t nodeType = 0;
        if (pvxGetNodeType(cam.m_hCam, node, &nodeType) != PVX_OK ||
            SetNodeValue(cam, node, nodeType, val) != PVX_OK)
            return FailFeature(errText, kWriteValue, addr);
        return 0;
    } catch (...) {
        return FailFeature(errText, kWriteValue, addr);
    }
}

int32_t WriteFeatureValue(char* errText, CameraDevice& cam, const char* addr, const char* val) {
    const int32_t result = WriteNodeValue(errText, cam, addr, val);
    // A write may change the region, frame size or pixel format, and even a refused
    // one may have changed something: the cached settings are read again either way.
    UpdateCamSetInfo(cam);
    return result;
}

int32_t ExecuteFeatureCommand(char* errText, int64_t channelID, const char* feature) {
    const CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr || ExecuteCommandNode(*cam, feature) != PVX_OK)
        return FailFeature(errText, kExecuteCommand, feature);
    return 0;
}

} // namespace

int32_t AIK_CALL ReadValue(char* errText, int64_t channelID, const char* addrText, char* val) {
    const HostText bounded = BoundedHostText(addrText);
    const char* const addr = bounded.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, addr=%s", kReadValue, static_cast<int>(channelID), addr);
    return RunLockedFeatureSlot(
        kReadValue, errText, [&] { return ReadFeatureValue(errText, channelID, addr, val); },
        [&](int32_t result) { AIK_LOG(ExitLevel(result), "EXIT : %s, val=%s", kReadValue, val); });
}

int32_t AIK_CALL WriteValue(char* errText, int64_t channelID, const char* addrText, const char* valText) {
    const HostText boundedAddr = BoundedHostText(addrText);
    const HostText boundedVal = BoundedHostText(valText);
    const char* const addr = boundedAddr.get();
    const char* const val = boundedVal.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, addr=%s, val=%s", kWriteValue, static_cast<int>(channelID),
            addr, val);
    CameraDevice* cam = nullptr;
    return RunLockedFeatureSlot(
        kWriteValue, errText,
        [&] {
            cam = ResolveChannel(channelID);
            return cam == nullptr ? 1 : WriteFeatureValue(errText, *cam, addr, val);
        },
        // A channel without a camera leaves with result 1 and no line at all.
        [&](int32_t result) {
            if (cam != nullptr)
                AIK_LOG(ExitLevel(result), "EXIT : %s", kWriteValue);
        });
}

int32_t AIK_CALL ExecuteCommand(char* errText, int64_t channelID, const char* featureText) {
    const HostText bounded = BoundedHostText(featureText);
    const char* const feature = bounded.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, feature=%s", kExecuteCommand, static_cast<int>(channelID),
            feature);
    return RunLockedFeatureSlot(
        kExecuteCommand, errText, [&] { return ExecuteFeatureCommand(errText, channelID, feature); },
        [&](int32_t result) { AIK_LOG(ExitLevel(result), "EXIT : %s", kExecuteCommand); });
}
