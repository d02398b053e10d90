// Listing a channel's features and inspecting each one's type, attributes and
// enumeration values.
#include "features/feature_info_slots.h"

#include "camera/node_access.h"
#include "features/catalogue.h"
#include "features/feature_slot.h"

#include <cstring>

namespace {

constexpr const char* kGetFeatureName = "GetFeatureName";
constexpr const char* kGetFeatureType = "GetFeatureType";
constexpr const char* kGetFeatureAttr = "GetFeatureAttr";
constexpr const char* kGetValidEnum = "GetValidEnum";

// Attribute numbers of GetFeatureAttr.
constexpr int32_t kAttrDescription = 1;
constexpr int32_t kAttrReadable = 2;
constexpr int32_t kAttrWritable = 3;
constexpr int32_t kAttrFlagged = 4;

// Capacity handed to the description read: one byte short of the host's buffer.
constexpr uint32_t kDescriptionBytes = 255;

constexpr const char* kAdapterVersionDescription = "Version of this adapter .DLL";

// Nodes for which attribute 4 holds while they are available.
constexpr const char* kFlaggedNodes[] = {"PixelFormat", "PixelCoding", "PixelSize", "LineInverterAll"};

struct TypeCode {
    uint32_t nodeType;
    int32_t hostType;
};
constexpr TypeCode kHostTypes[] = {
    {PVX_NODE_ENUMERATION, AIK_FEATURE_ENUM}, {PVX_NODE_INTEGER, AIK_FEATURE_INT},
    {PVX_NODE_FLOAT, AIK_FEATURE_FLOAT},      {PVX_NODE_COMMAND, AIK_FEATURE_COMMAND},
    {PVX_NODE_BOOLEAN, AIK_FEATURE_BOOL},     {PVX_NODE_STRING, AIK_FEATURE_STRING},
};

int32_t HostTypeCode(uint32_t nodeType) {
    for (const TypeCode& code : kHostTypes)
        if (code.nodeType == nodeType)
            return code.hostType;
    return AIK_FEATURE_UNSUPPORTED;
}

const char* BoolText(bool value) {
    return value ? "True" : "False";
}

// Attribute 4 of a node feature: true for a few named nodes, and for any node the
// camera does not offer as write-only, read-only or read-write.
bool IsFlagged(const char* feature, uint32_t access) {
    if (access != PVX_ACCESS_WO && access != PVX_ACCESS_RO && access != PVX_ACCESS_RW)
        return true;
    for (const char* name : kFlaggedNodes)
        if (strcmp(feature, name) == 0)
            return true;
    return false;
}

int32_t ListedFeatureName(int64_t channelID, int32_t index, char* feature) {
    UpdateFeatures(channelID);
    if (index < 0 || static_cast<size_t>(index) >= g_featureList.size())
        return 1;
    CopyFeatureText(feature, g_featureList[static_cast<size_t>(index)].get());
    return 0;
}

int32_t FeatureType(char* errText, int64_t channelID, const char* feature, int32_t* type) {
    const CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr)
        return 1;
    if (IsAdapterVersionName(feature)) {
        *type = AIK_FEATURE_STRING;
        return 0;
    }
    char baseName[kFeatureNameBytes];
    const FeatureKind kind = SplitFeatureName(feature, baseName);
    PvxHandle node = 0;
    uint32_t nodeType = 0;
    if (pvxGetNode(cam->m_hCam, baseName, &node) != PVX_OK ||
        pvxGetNodeType(cam->m_hCam, node, &nodeType) != PVX_OK)
        return FailFeature(errText, kGetFeatureType, feature);
    if (kind == FeatureKind::Node) {
        *type = HostTypeCode(nodeType);
        return 0;
    }
    // A limit of a node that cannot be read has no type; one of a node the camera
    // does not offer still has its base node's.
    uint32_t access = 0;
    if (pvxGetNodeAccess(cam->m_hCam, node, &access) != PVX_OK || access == PVX_ACCESS_WO ||
        access > PVX_ACCESS_RW)
        return FailFeature(errText, kGetFeatureType, feature);
    if (nodeType != PVX_NODE_INTEGER && nodeType != PVX_NODE_FLOAT)
        return FailFeature(errText, kGetFeatureType, feature);
    *type = HostTypeCode(nodeType);
    return 0;
}

int32_t AdapterVersionAttr(char* errText, const char* feature, int32_t attr, char* result) {
    switch (attr) {
    case kAttrDescription:
        CopyFeatureText(result, kAdapterVersionDescription);
        return 0;
    case kAttrReadable:
        CopyFeatureText(result, BoolText(true));
        return 0;
    case kAttrWritable:
    case kAttrFlagged:
        CopyFeatureText(result, BoolText(false));
        return 0;
    default:
        return FailFeature(errText, kGetFeatureAttr, feature);
    }
}

int32_t FeatureAttr(char* errText, int64_t channelID, const char* feature, int32_t attr, char* result) {
    const CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr)
        return 1;
    result[0] = '\0';
    if (IsAdapterVersionName(feature))
        return AdapterVersionAttr(errText, feature, attr, result);
    char baseName[kFeatureNameBytes];
    const FeatureKind kind = SplitFeatureName(feature, baseName);
    PvxHandle node = 0;
    uint32_t access = 0;
    // Looked up before attr is examined: a feature the camera lacks fails for every attr.
    if (pvxGetNode(cam->m_hCam, baseName, &node) != PVX_OK ||
        pvxGetNodeAccess(cam->m_hCam, node, &access) != PVX_OK)
        return FailFeature(errText, kGetFeatureAttr, feature);
    const bool isNode = kind == FeatureKind::Node;
    switch (attr) {
    case kAttrDescription: {
        if (!isNode)
            return 0;
        uint32_t size = kDescriptionBytes;
        if (pvxGetNodeDescription(cam->m_hCam, node, result, &size) != PVX_OK)
            return FailFeature(errText, kGetFeatureAttr, feature);
        return 0;
    }
    case kAttrReadable:
        CopyFeatureText(result, BoolText(IsReadable(access)));
        return 0;
    case kAttrWritable:
        CopyFeatureText(result, BoolText(isNode && IsWritable(access)));
        return 0;
    case kAttrFlagged:
        CopyFeatureText(result, BoolText(isNode && IsFlagged(feature, access)));
        return 0;
    default:
        return FailFeature(errText, kGetFeatureAttr, feature);
    }
}

int32_t ValidEnum(char* errText, int64_t channelID, const char* feature, int32_t enumIndex, char* value) {
    const CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr)
        return 1;
    if (GetEnumEntrySymbol(*cam, feature, enumIndex, value) != PVX_OK)
        return FailFeature(errText, kGetValidEnum, feature);
    return 0;
}

} // namespace

// Takes the feature lock although it only inspects: it rebuilds the feature list
// that every channel shares, and ReadValue may be rebuilding it for another channel.
int32_t AIK_CALL GetFeatureName(char* errText, int64_t channelID, int32_t index, char* feature) {
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, index=%d", kGetFeatureName, static_cast<int>(channelID),
            index);
    return RunLockedFeatureSlot(
        kGetFeatureName, errText, [&] { return ListedFeatureName(channelID, index, feature); },
        [&](int32_t result) {
            if (result == 0)
                AIK_LOG(LOG_INFO, "EXIT : %s, feature = %s", kGetFeatureName, feature);
            else
                AIK_LOG(LOG_WARN, "EXIT : %s", kGetFeatureName);
        });
}

int32_t AIK_CALL GetFeatureType(char* errText, int64_t channelID, const char* featureText, int32_t* type) {
    const HostText bounded = BoundedHostText(featureText);
    const char* const feature = bounded.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, feature=%s", kGetFeatureType, static_cast<int>(channelID),
            feature);
    *type = AIK_FEATURE_UNSUPPORTED;
    return RunFeatureSlot(
        kGetFeatureType, errText, [&] { return FeatureType(errText, channelID, feature, type); },
        [&](int32_t result) { AIK_LOG(ExitLevel(result), "EXIT : %s, type=%d", kGetFeatureType, *type); });
}

int32_t AIK_CALL GetFeatureAttr(char* errText, int64_t channelID, const char* featureText, int32_t attr,
                                char* result) {
    const HostText bounded = BoundedHostText(featureText);
    const char* const feature = bounded.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, feature=%s, attr=%d", kGetFeatureAttr,
            static_cast<int>(channelID), feature, attr);
    return RunFeatureSlot(
        kGetFeatureAttr, errText, [&] { return FeatureAttr(errText, channelID, feature, attr, result); },
        // Bounded: on an invalid channel the host's buffer is logged as it was handed in.
        [&](int32_t rc) { AIK_LOG(ExitLevel(rc), "EXIT : %s, result=%.255s", kGetFeatureAttr, result); });
}

int32_t AIK_CALL GetValidEnum(char* errText, int64_t channelID, const char* featureText, int32_t enumIndex,
                              char* value) {
    const HostText bounded = BoundedHostText(featureText);
    const char* const feature = bounded.get();
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, feature=%s, enumIndex=%d", kGetValidEnum,
            static_cast<int>(channelID), feature, enumIndex);
    value[0] = '\0';
    return RunFeatureSlot(
        kGetValidEnum, errText, [&] { return ValidEnum(errText, channelID, feature, enumIndex, value); },
        [&](int32_t result) { AIK_LOG(ExitLevel(result), "EXIT : %s, value=%s", kGetValidEnum, value); });
}
