// The registry of opened cameras.
#include "channel/registry.h"

std::vector<std::unique_ptr<CameraDevice>> g_camDevice;

CameraDevice* ResolveChannel(int64_t channelID) {
    const uint32_t position = static_cast<uint32_t>(channelID);
    return position < g_camDevice.size() ? g_camDevice[position].get() : nullptr;
}

bool CloseAllCameras() {
    bool contained = true;
    for (auto& cam : g_camDevice) {
        const uint32_t thrown = cam->m_uiLibraryExceptions;
        if (cam->m_hStrm != 0)
            StopSequence(*cam);
        CloseStream(*cam);
        CloseDevice(*cam);
        contained = contained && cam->m_uiLibraryExceptions == thrown;
    }
    g_camDevice.clear();
    return contained;
}
