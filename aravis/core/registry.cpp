// Enumeration over Aravis's interfaces, or over the configured cameras alone; camera
// and stream handles are counters, never reused within a process.
#include "aravis/core/registry.h"
#include "camlib/last_error.h"

#include "aravis/core/last_error.h"

namespace arv_backend {

Registry& Registry::Instance() {
    static Registry registry;
    return registry;
}

void Registry::Enumerate(const Settings& settings) {
    m_deviceIds.clear();
    m_refused.clear();
    if (settings.fakeInterface) {
        if (!settings.fakeGenicam.empty())
            arv_set_fake_camera_genicam_filename(settings.fakeGenicam.c_str());
        arv_enable_interface("Fake");
    }
    if (settings.explicitCameras)
        m_deviceIds = settings.cameras;
    if (settings.explicitCameras && !settings.fakeInterface)
        return;
    // With a camera list nothing is sent on the network: only the fake interface,
    // which lives in this process, is scanned; the others stay usable for opening.
    const char* const networked[] = {"GigEVision", "USB3Vision"};
    if (settings.explicitCameras)
        for (const char* id : networked)
            arv_disable_interface(id);
    arv_update_device_list();
    for (unsigned int i = 0; i < arv_get_n_devices(); ++i)
        if (const char* id = arv_get_device_id(i))
            m_deviceIds.emplace_back(id);
    if (settings.explicitCameras)
        for (const char* id : networked)
            arv_enable_interface(id);
}

PvxStatus Registry::Initialise() {
    const Settings settings = ReadSettings();
    std::lock_guard<std::mutex> lock(m_mutex);
    Enumerate(settings);
    if (m_initialised)
        return PVX_ERR_ALREADY_INITIALIZED;
    m_initialised = true;
    return PVX_OK;
}

PvxStatus Registry::CameraCount(int32_t& count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return camlib::Fail(PVX_ERR_NOT_INITIALIZED, "the library is not initialised");
    count = static_cast<int32_t>(m_deviceIds.size());
    return PVX_OK;
}

PvxStatus Registry::OpenCamera(uint32_t index, PvxHandle& handle) {
    const Settings settings = ReadSettings();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return camlib::Fail(PVX_ERR_NOT_INITIALIZED, "the library is not initialised");
    if (index >= m_deviceIds.size())
        return camlib::Fail(PVX_ERR_INVALID_CAMERA_INDEX,
                            "camera index " + std::to_string(index) + " is beyond the " +
                                std::to_string(m_deviceIds.size()) + " cameras found");
    const std::string& id = m_deviceIds[index];
    for (const auto& [openHandle, camera] : m_cameras)
        if (camera->DeviceId() == id)
            return camlib::Fail(PVX_ERR_ALREADY_OPENED, "camera " + id + " is open already");
    if (const auto refused = m_refused.find(id); refused != m_refused.end())
        return camlib::Fail(refused->second.status, refused->second.reason);
    const auto refuse = [&](PvxStatus status, const std::string& reason) {
        m_refused[id] = Refusal{status, reason};
        return camlib::Fail(status, reason);
    };
    GError* error = nullptr;
    ArvCamera* arvCamera = arv_camera_new(id.c_str(), &error);
    if (!arvCamera) {
        const std::string message = error && error->message ? error->message : "no such device";
        g_clear_error(&error);
        return refuse(PVX_ERR_NOT_FOUND, "camera " + id + " cannot be opened: " + message);
    }
    // Aravis opens a GigE Vision camera another host controls all the same, read-only:
    // every write would then time out, and the camera be blamed.
    ArvDevice* device = arv_camera_get_device(arvCamera);
    if (ARV_IS_GV_DEVICE(device) && !arv_gv_device_is_controller(ARV_GV_DEVICE(device))) {
        g_object_unref(arvCamera);
        return refuse(PVX_ERR_ACCESS_DENIED,
                      "camera " + id +
                          " in use by another application: another host controls it; close it there "
                          "(a host that died frees it after the camera's heartbeat time-out, a few seconds)");
    }
    handle = m_nextHandle++;
    m_cameras.emplace(handle, std::make_unique<Camera>(id, arvCamera, settings));
    return PVX_OK;
}

PvxStatus Registry::CloseCamera(PvxHandle handle) {
    std::shared_ptr<Stream> stream;
    std::unique_ptr<Camera> camera;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_cameras.find(handle);
        if (found == m_cameras.end())
            return UnknownCamera(handle);
        stream = DetachStream(found->second->StreamHandle());
        camera = std::move(found->second);
        m_cameras.erase(found);
    }
    Dispose(std::move(stream), std::move(camera));
    return PVX_OK;
}

void Registry::Dispose(std::shared_ptr<Stream> stream, std::unique_ptr<Camera> camera) {
    if (stream)
        stream->Silence();
    std::shared_ptr<CameraLink::State> watched =
        camera ? camera->Link()->Watched() : stream->Link().Watched();
    // The work holds the only references. The stream goes first: it holds the
    // camera's device. A camera that stops answering leaves the rest to the work's
    // thread; its handles are gone already.
    CameraLink::Bounded(std::move(watched), [stream = std::move(stream),
                                             owned = std::shared_ptr<Camera>(std::move(camera))]() mutable {
        stream.reset();
        owned.reset();
        return PVX_OK;
    });
}

Camera* Registry::FindCamera(PvxHandle handle) const {
    const auto found = m_cameras.find(handle);
    return found != m_cameras.end() ? found->second.get() : nullptr;
}

PvxStatus Registry::UnknownCamera(PvxHandle handle) {
    return camlib::Fail(PVX_ERR_INVALID_CAMERA_HANDLE,
                        "camera handle " + std::to_string(handle) + " is not open");
}

PvxStatus Registry::UnknownStream(PvxHandle handle) {
    return camlib::Fail(PVX_ERR_INVALID_STREAM_HANDLE,
                        "stream handle " + std::to_string(handle) + " is not open");
}

PvxStatus Registry::OpenStream(PvxHandle cameraHandle, PvxEvent event, uint32_t buffers, PvxHandle& stream,
                               uint32_t& frameBytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Camera* camera = FindCamera(cameraHandle);
    if (!camera)
        return UnknownCamera(cameraHandle);
    if (camera->StreamHandle() != 0)
        return camlib::Fail(PVX_ERR_ALREADY_OPENED, "the camera's stream is open already");
    if (camera->Link()->Lost())
        return camera->Link()->NotResponding();
    auto opened =
        std::make_shared<Stream>(camera->Arv(), camera->Link(), camera->Tally(), event,
                                 StreamSetup{buffers, camera->SocketBufferBytes(), camera->BufferHandling()});
    frameBytes = opened->FrameBytes();
    stream = m_nextHandle++;
    m_streams.emplace(stream, OpenedStream{std::move(opened), cameraHandle});
    camera->SetStreamHandle(stream);
    return PVX_OK;
}

PvxStatus Registry::FindStream(PvxHandle handle, std::shared_ptr<Stream>& stream) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_streams.find(handle);
    if (found == m_streams.end())
        return UnknownStream(handle);
    if (found->second.stream->Link().Lost())
        return found->second.stream->Link().NotResponding();
    stream = found->second.stream;
    return PVX_OK;
}

std::shared_ptr<Stream> Registry::DetachStream(PvxHandle handle) {
    const auto found = m_streams.find(handle);
    if (found == m_streams.end())
        return nullptr;
    std::shared_ptr<Stream> stream = std::move(found->second.stream);
    if (Camera* camera = FindCamera(found->second.camera))
        camera->SetStreamHandle(0);
    m_streams.erase(found);
    return stream;
}

PvxStatus Registry::CloseStream(PvxHandle handle) {
    std::shared_ptr<Stream> stream;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stream = DetachStream(handle);
        if (!stream)
            return UnknownStream(handle);
    }
    Dispose(std::move(stream), nullptr);
    return PVX_OK;
}

} // namespace arv_backend
