// Building and releasing the set of channels.
#include "adapter/adapter_lifecycle.h"

#include "channel/registry.h"
#include "channel/slot_guard.h"
#include "diag/log.h"
#include "features/catalogue.h"

PvxStatus initializeAdapter() {
    AIK_TRACE("  <initializeAdapter>\n");
    const PvxStatus init = pvxInitLibrary(1);
    if (init != PVX_OK && init != PVX_ERR_ALREADY_INITIALIZED)
        return PVX_ERR_UNSUCCESSFUL;
    pvxUtlInit();
    // Cameras of an earlier enumeration are released as ReleaseVideoChannel would:
    // the library refuses to open a camera that is still open, and a feature list
    // built for the old channel 0 would describe the wrong camera (or none).
    CloseAllCameras();
    ClearFeatureList();
    int32_t count = 0;
    const PvxStatus status = pvxGetCameraCount(&count);
    if (status != PVX_OK)
        return status;
    for (int32_t i = 0; i < count; ++i) {
        auto cam = std::make_unique<CameraDevice>();
        cam->m_uiCamIndex = static_cast<uint32_t>(i);
        if (OpenDevice(*cam) != PVX_OK)
            continue; // holds no handle or event: nothing to close
        g_camDevice.push_back(std::move(cam));
    }
    AIK_TRACE("   g_camDevice count=%d\n", static_cast<int>(g_camDevice.size()));
    UpdateFeatures(0);
    return PVX_OK;
}

int32_t AIK_CALL ReleaseVideoChannel(char* errText, int64_t channelID) {
    static constexpr const char* kName = "ReleaseVideoChannel";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        // Every camera is closed and the registry emptied before an exception the
        // library let out is answered.
        const bool contained = CloseAllCameras();
        ClearFeatureList();
        if (!contained)
            return FailSlot(kName, errText, PVX_ERR_UNSUCCESSFUL);
        AIK_LOG(LOG_INFO, "EXIT : %s", kName);
        return 0;
    });
}
