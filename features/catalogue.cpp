// The feature catalogue, the name rules and the per-channel feature list.
#include "features/catalogue.h"

#include "channel/registry.h"
#include "diag/log.h"

#include <cstdio>
#include <cstring>

std::vector<std::unique_ptr<char[]>> g_featureList;
int64_t g_featureListChannel = -1;

bool IsAdapterVersionName(const char* name) {
    return strncmp(name, kAdapterVersionName, sizeof kAdapterVersionName - 1) == 0;
}

FeatureKind SplitFeatureName(const char* name, char* baseName) {
    snprintf(baseName, kFeatureNameBytes, "%s", name);
    const size_t length = strlen(baseName);
    if (length <= 5)
        return FeatureKind::Node;
    char* suffix = baseName + length - 4;
    FeatureKind kind = strcmp(suffix, "_Min") == 0   ? FeatureKind::Minimum
                       : strcmp(suffix, "_Max") == 0 ? FeatureKind::Maximum
                                                     : FeatureKind::Node;
    if (kind != FeatureKind::Node)
        *suffix = '\0';
    return kind;
}

void ClearFeatureList() {
    g_featureList.clear();
    g_featureListChannel = -1;
}

// Whether the camera has the node a catalogue entry stands for, available or not.
static bool CameraOffers(PvxHandle hCam, const char* name) {
    char baseName[kFeatureNameBytes];
    SplitFeatureName(name, baseName);
    PvxHandle node = 0;
    uint32_t access = 0;
    if (pvxGetNode(hCam, baseName, &node) != PVX_OK || pvxGetNodeAccess(hCam, node, &access) != PVX_OK)
        return false;
    return access != PVX_ACCESS_NI && access != PVX_ACCESS_NA;
}

void UpdateFeatures(int64_t channelID) {
    if (channelID == g_featureListChannel)
        return;
    AIK_TRACE("  <UpdateFeatures> channelID = %lld\n", static_cast<long long>(channelID));
    g_featureList.clear();
    g_featureListChannel = channelID;
    const CameraDevice* cam = ResolveChannel(channelID);
    if (cam == nullptr)
        return;
    for (size_t i = 0; i < kFeatureCount; ++i) {
        const char* name = g_featureTable[i];
        if (strcmp(name, kAdapterVersionName) != 0 && !CameraOffers(cam->m_hCam, name))
            continue;
        auto entry = std::make_unique<char[]>(kFeatureNameBytes);
        snprintf(entry.get(), kFeatureNameBytes, "%s", name);
        g_featureList.push_back(std::move(entry));
        AIK_TRACE("   index = %d feature = %s\n", static_cast<int>(i), name);
    }
}
