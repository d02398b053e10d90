// Settings from the environment; an empty variable counts as unset, except the camera
// list, where it means "none but the fake camera".
#include "aravis/core/settings.h"

#include <cstdlib>
#include <sstream>

namespace arv_backend {

namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::istringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

} // namespace

Settings ReadSettings() {
    Settings settings;
    if (const char* cameras = std::getenv("QUORVEX_ARAVIS_CAMERAS")) {
        settings.explicitCameras = true;
        settings.cameras = SplitList(cameras);
    }
    if (const char* fake = Variable("QUORVEX_ARAVIS_FAKE"))
        settings.fakeInterface = std::string(fake) != "0";
    if (const char* genicam = Variable("QUORVEX_ARAVIS_FAKE_GENICAM"))
        settings.fakeGenicam = genicam;
    if (const char* contrast = Variable("QUORVEX_ARAVIS_CONTRAST_NODE"))
        settings.contrastNode = contrast;
    if (const char* brightness = Variable("QUORVEX_ARAVIS_BRIGHTNESS_NODE"))
        settings.brightnessNode = brightness;
    if (const char* bytes = Variable("QUORVEX_ARAVIS_SOCKET_BUFFER"))
        settings.socketBufferBytes = static_cast<uint32_t>(std::strtoul(bytes, nullptr, 0));
    return settings;
}

} // namespace arv_backend
