// The registry of opened cameras.
#include "adapter/registry.h"

std::vector<std::unique_ptr<CameraDevice>> g_camDevice;

CameraDevice* ResolveChannel(int64_t channelID) {
    const uint32_t position = static_cast<uint32_t>(channelID);
    return position < g_camDevice.size() ? g_camDevice[position].get() : nullptr;
}

void CloseAllCameras() {
    for (auto& cam : g_camDevice) {
        if (cam->m_hStrm != 0)
            StopSequence(*cam);
        CloseStream(*cam);
        CloseDevice(*cam);
    }
    g_camDevice.clear();
}
