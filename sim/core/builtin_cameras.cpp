// The three built-in cameras: monochrome 8-bit, Bayer colour and monochrome 12-bit.
#include "sim/core/builtin_cameras.h"

#include <iterator>

namespace sim {

namespace {

// The formats each camera offers beside its own, in the order of kBuiltInCameras.
const std::vector<uint32_t> kOfferedFormats[] = {
    {PVX_PIXEL_MONO8, PVX_PIXEL_MONO10, PVX_PIXEL_MONO12, PVX_PIXEL_MONO16},
    {PVX_PIXEL_BAYER_RG8, PVX_PIXEL_RGB8, PVX_PIXEL_BGR8, PVX_PIXEL_MONO8, PVX_PIXEL_YUV422_8},
    {PVX_PIXEL_MONO12, PVX_PIXEL_MONO8, PVX_PIXEL_MONO16},
};
static_assert(std::size(kOfferedFormats) == std::size(kBuiltInCameras), "formats for every built-in camera");

} // namespace

Description BuiltInDescription() {
    Description description;
    for (uint32_t i = 0; i < std::size(kBuiltInCameras); ++i) {
        const BuiltInCamera& builtIn = kBuiltInCameras[i];
        CameraSpec camera = DefaultCameraSpec(i);
        camera.model = builtIn.model;
        camera.description = builtIn.description;
        camera.sensorWidth = builtIn.sensorWidth;
        camera.sensorHeight = builtIn.sensorHeight;
        camera.pixelFormat = builtIn.pixelFormat;
        camera.pixelFormats = kOfferedFormats[i];
        camera.frameRate = builtIn.frameRate;
        DeriveRegionDefaults(camera);
        description.cameras.push_back(std::move(camera));
    }
    return description;
}

} // namespace sim
