// The camera library is reached by its file name, which names the copy the module
// already imports; its operations are declared here as the host meets them, by name.
#include "host/session/unopened_cameras.h"

#include "host/loader/host_os.h"

#include <cstdint>

namespace aikhost {

namespace {

using Status = uint32_t;
constexpr Status kOk = 0;
constexpr Status kAlreadyOpened = 4;

using GetCameraCountFn = Status (*)(int32_t*);
using OpenCameraFn = Status (*)(uint32_t, uint64_t*, uint64_t, bool, uint64_t, uint32_t);
using CloseCameraFn = Status (*)(uint64_t);
using GetLastErrorTextFn = Status (*)(char*, uint32_t*);

std::string lastErrorText(GetLastErrorTextFn getLastErrorText, Status status) {
    char text[1024] = {};
    uint32_t size = sizeof text;
    if (getLastErrorText != nullptr && getLastErrorText(text, &size) == kOk && text[0] != '\0')
        return text;
    return "the camera library answered code " + std::to_string(status);
}

} // namespace

std::vector<UnopenedCamera> unopenedCameras() {
    std::vector<UnopenedCamera> unopened;
    const LibraryHandle library = openLibrary(cameraLibraryFileNames()[0]);
    if (library == nullptr)
        return unopened;
    const auto getCameraCount = reinterpret_cast<GetCameraCountFn>(findSymbol(library, "pvxGetCameraCount"));
    const auto openCamera = reinterpret_cast<OpenCameraFn>(findSymbol(library, "pvxOpenCamera"));
    const auto closeCamera = reinterpret_cast<CloseCameraFn>(findSymbol(library, "pvxCloseCamera"));
    const auto getLastErrorText =
        reinterpret_cast<GetLastErrorTextFn>(findSymbol(library, "pvxGetLastErrorText"));
    int32_t count = 0;
    if (getCameraCount != nullptr && openCamera != nullptr && closeCamera != nullptr &&
        getCameraCount(&count) == kOk) {
        for (int32_t index = 0; index < count; ++index) {
            uint64_t handle = 0;
            const Status status = openCamera(static_cast<uint32_t>(index), &handle, 0, true, 0, 1);
            if (status == kOk)
                closeCamera(handle);
            else if (status != kAlreadyOpened)
                unopened.push_back({index, lastErrorText(getLastErrorText, status)});
        }
    }
    closeLibrary(library);
    return unopened;
}

std::string describeUnopened(const std::vector<UnopenedCamera>& cameras) {
    std::string text;
    for (const UnopenedCamera& camera : cameras)
        text += (text.empty() ? "" : "; ") + std::string("camera ") + std::to_string(camera.index) + ": " +
                camera.reason;
    return text;
}

} // namespace aikhost
