// One opened Aravis camera: its GenICam node tree, the node handles given out for it,
// and the handle of its stream while one is open.
#pragma once

#include "aravis/core/camera_link.h"
#include "aravis/core/settings.h"
#include "camera/quorvex_api.h"
#include "camlib/buffer_handling.h"
#include "camlib/stream_tally.h"

#include <arv.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

namespace arv_backend {

class Camera {
public:
    // Takes over the reference to camera. Range and access checks are switched on: by
    // default Aravis writes an out-of-range value or a read-only node silently.
    Camera(std::string deviceId, ArvCamera* camera, const Settings& settings);
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    const std::string& DeviceId() const { return m_deviceId; }
    ArvCamera* Arv() const { return m_camera; }
    ArvDevice* Device() const { return arv_camera_get_device(m_camera); }
    // Shared with the camera's stream, which outlives neither.
    const std::shared_ptr<CameraLink>& Link() const { return m_link; }

    // The node of that name as a handle; PVX_ERR_NOT_FOUND when the camera has none.
    // The library's own stream nodes (camlib::kTallyNodes) come first.
    PvxStatus FindNode(const char* name, PvxHandle& handle);
    // PVX_ERR_NOT_WRITABLE for the pixel format while the stream is open: its buffers
    // hold images of the format it opened with, and another would fail every image.
    PvxStatus CheckFormatFixed(ArvGcNode* node) const;
    // The library's stream node a handle names; nullptr for any other handle.
    const camlib::TallyNode* TallyNodeOf(PvxHandle handle) const;
    // For the library's StreamBufferHandlingMode node -1, for one of its entries the
    // entry's index; nothing for any other handle.
    std::optional<int> BufferHandlingOf(PvxHandle handle) const;
    static PvxHandle BufferHandlingEntryHandle(size_t entry);
    camlib::BufferHandling BufferHandling() const { return m_bufferHandling; }
    // PVX_ERR_NOT_WRITABLE while the stream is open (its access is RO then), whose
    // buffers follow the mode it opened with; PVX_ERR_GENICAM for a name that is no entry.
    PvxStatus SetBufferHandling(const char* entry);
    // Counted by the camera's stream, kept after it closes until the next one opens.
    const std::shared_ptr<camlib::StreamTally>& Tally() const { return m_tally; }
    // A node given out for this camera; PVX_ERR_INVALID_NODE_HANDLE for any other handle.
    PvxStatus NodeOf(PvxHandle handle, ArvGcNode*& node) const;
    PvxHandle Remember(ArvGcNode* node);

    // The nodes behind exposure, contrast and brightness; null when the camera lacks them.
    ArvGcNode* ExposureNode() const;
    ArvGcNode* ContrastNode() const { return Lookup(m_contrastName.c_str()); }
    ArvGcNode* BrightnessNode() const { return Lookup(m_brightnessName.c_str()); }
    const std::string& ContrastName() const { return m_contrastName; }
    const std::string& BrightnessName() const { return m_brightnessName; }
    uint32_t SocketBufferBytes() const { return m_socketBufferBytes; }

    PvxHandle StreamHandle() const { return m_stream; }
    void SetStreamHandle(PvxHandle stream) { m_stream = stream; }

private:
    ArvGcNode* Lookup(const char* name) const;

    const std::string m_deviceId;
    ArvCamera* const m_camera;
    const std::string m_contrastName;
    const std::string m_brightnessName;
    const uint32_t m_socketBufferBytes;
    std::shared_ptr<CameraLink> m_link;
    std::shared_ptr<camlib::StreamTally> m_tally = std::make_shared<camlib::StreamTally>();
    std::unordered_set<PvxHandle> m_nodes;
    PvxHandle m_stream = 0;
    camlib::BufferHandling m_bufferHandling = camlib::BufferHandling::NewestOnly;
};

} // namespace arv_backend
