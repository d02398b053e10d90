// What a deployment configures through the environment: which cameras to use, the
// nodes behind the host's contrast and brightness, the stream's socket buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace arv_backend {

struct Settings {
    // QUORVEX_ARAVIS_CAMERAS: comma-separated device ids or addresses opened as they
    // are, without discovery on the network; unset: every camera Aravis discovers.
    bool explicitCameras = false;
    std::vector<std::string> cameras;
    // QUORVEX_ARAVIS_FAKE=1: also Aravis's in-process fake camera, described by the
    // GenICam file QUORVEX_ARAVIS_FAKE_GENICAM when set.
    bool fakeInterface = false;
    std::string fakeGenicam;
    // QUORVEX_ARAVIS_CONTRAST_NODE, QUORVEX_ARAVIS_BRIGHTNESS_NODE.
    std::string contrastNode = "Gain";
    std::string brightnessNode = "BlackLevel";
    // QUORVEX_ARAVIS_SOCKET_BUFFER: receive buffer of GigE Vision streams, bytes.
    uint32_t socketBufferBytes = 4u << 20;
};

// Read from the environment at every call, so each initialisation sees the current values.
Settings ReadSettings();

} // namespace arv_backend
