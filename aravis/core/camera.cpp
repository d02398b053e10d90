// Node handles are the nodes' own addresses, valid while the camera is open; each is
// checked against those handed out so that a stale or foreign handle gives PVX_ERR_INVALID_NODE_HANDLE.
#include "aravis/core/camera.h"
#include "camlib/last_error.h"

#include "aravis/core/last_error.h"

#include <cstring>
#include <iterator>

namespace arv_backend {

Camera::Camera(std::string deviceId, ArvCamera* camera, const Settings& settings)
    : m_deviceId(std::move(deviceId)), m_camera(camera), m_contrastName(settings.contrastNode),
      m_brightnessName(settings.brightnessNode), m_socketBufferBytes(settings.socketBufferBytes),
      m_link(std::make_shared<CameraLink>(m_deviceId, Device())) {
    arv_camera_set_range_check_policy(m_camera, ARV_RANGE_CHECK_POLICY_ENABLE);
    arv_camera_set_access_check_policy(m_camera, ARV_ACCESS_CHECK_POLICY_ENABLE);
}

Camera::~Camera() {
    // The heartbeat ends first: the device's last reference, and with it the camera's
    // control, goes with the camera, so that it can be opened again at once.
    m_link.reset();
    g_object_unref(m_camera);
}

namespace {

// Standard names that cameras of older conventions spell otherwise: the older node
// answers for the standard one, with its own limits and type.
struct OlderName {
    const char* standard;
    const char* older;
};
constexpr OlderName kOlderNames[] = {
    {"ExposureTime", "ExposureTimeAbs"},
    {"Gain", "GainRaw"},
    {"AcquisitionFrameRate", "AcquisitionFrameRateAbs"},
    {"BlackLevel", "BlackLevelRaw"},
    {"TriggerDelay", "TriggerDelayAbs"},
};

} // namespace

ArvGcNode* Camera::Lookup(const char* name) const {
    if (ArvGcNode* node = arv_device_get_feature(Device(), name))
        return node;
    for (const OlderName& alias : kOlderNames)
        if (std::strcmp(alias.standard, name) == 0)
            return arv_device_get_feature(Device(), alias.older);
    return nullptr;
}

namespace {

// A stream node's handle is its place in the table plus one, the buffer-handling node's
// the next and its entries' those after it: no GenICam node lies at such an address.
PvxHandle TallyHandle(const camlib::TallyNode& node) {
    return static_cast<PvxHandle>(&node - camlib::kTallyNodes) + 1;
}
constexpr PvxHandle kBufferHandlingHandle = std::size(camlib::kTallyNodes) + 1;

} // namespace

const camlib::TallyNode* Camera::TallyNodeOf(PvxHandle handle) const {
    return handle >= 1 && handle <= std::size(camlib::kTallyNodes) ? &camlib::kTallyNodes[handle - 1]
                                                                   : nullptr;
}

std::optional<int> Camera::BufferHandlingOf(PvxHandle handle) const {
    if (handle < kBufferHandlingHandle || handle > kBufferHandlingHandle + camlib::kBufferHandlingEntryCount)
        return std::nullopt;
    return static_cast<int>(handle - kBufferHandlingHandle) - 1;
}

PvxHandle Camera::BufferHandlingEntryHandle(size_t entry) {
    return kBufferHandlingHandle + 1 + entry;
}

PvxStatus Camera::SetBufferHandling(const char* entry) {
    const std::optional<camlib::BufferHandling> mode = camlib::BufferHandlingNamed(entry);
    if (!mode)
        return camlib::Fail(PVX_ERR_GENICAM,
                            std::string(camlib::kBufferHandlingNode) + " has no entry " + entry);
    if (m_stream != 0)
        return camlib::Fail(PVX_ERR_NOT_WRITABLE, std::string(camlib::kBufferHandlingNode) +
                                                      " cannot change while the stream is open: stop the "
                                                      "acquisition, set it, and start again");
    m_bufferHandling = *mode;
    return PVX_OK;
}

PvxStatus Camera::FindNode(const char* name, PvxHandle& handle) {
    if (const camlib::TallyNode* tally = camlib::FindTallyNode(name)) {
        handle = TallyHandle(*tally);
        return PVX_OK;
    }
    if (std::strcmp(name, camlib::kBufferHandlingNode) == 0) {
        handle = kBufferHandlingHandle;
        return PVX_OK;
    }
    ArvGcNode* node = Lookup(name);
    if (!node)
        return camlib::Fail(PVX_ERR_NOT_FOUND, std::string("the camera has no node ") + name);
    handle = Remember(node);
    return PVX_OK;
}

PvxHandle Camera::Remember(ArvGcNode* node) {
    const auto handle = static_cast<PvxHandle>(reinterpret_cast<uintptr_t>(node));
    m_nodes.insert(handle);
    return handle;
}

PvxStatus Camera::NodeOf(PvxHandle handle, ArvGcNode*& node) const {
    if (BufferHandlingOf(handle))
        return camlib::Fail(PVX_ERR_GENICAM, std::string("node ") + camlib::kBufferHandlingNode +
                                                 " is an enumeration of the stream, not of that interface");
    if (handle == 0 || m_nodes.count(handle) == 0)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "node handle " + std::to_string(handle) + " is unknown");
    node = reinterpret_cast<ArvGcNode*>(static_cast<uintptr_t>(handle));
    return PVX_OK;
}

PvxStatus Camera::CheckFormatFixed(ArvGcNode* node) const {
    if (m_stream == 0 || node != Lookup("PixelFormat"))
        return PVX_OK;
    return camlib::Fail(PVX_ERR_NOT_WRITABLE, "PixelFormat cannot change while the camera streams: stop the "
                                              "acquisition, set it, and start again");
}

ArvGcNode* Camera::ExposureNode() const {
    return Lookup("ExposureTime");
}

} // namespace arv_backend
