// Initialisation, enumeration and the handle tables of cameras and streams.
#include "sim/core/registry.h"

#include "camlib/last_error.h"
#include "sim/core/builtin_cameras.h"
#include "sim/core/description_reader.h"
#include "sim/core/handles.h"
#include "sim/core/process_exit.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "%.*s%s\n", static_cast<int>(kMessagePrefix.size()), kMessagePrefix.data(),
                 line.c_str());
}

// The entry of an open handle, or the failure that names it unknown.
template <class Map>
PvxStatus FindOpen(Map& map, PvxHandle handle, PvxStatus invalid, const char* kind,
                   typename Map::iterator& found) {
    found = map.find(handle);
    if (found == map.end())
        return camlib::Fail(invalid, "handle " + HandleText(handle) + " is no open " + kind);
    return PVX_OK;
}

// The description named by the environment, checked down to the last camera's node
// map; or the built-in set. A description that cannot be used is one stderr line.
std::optional<Description> LoadDescription() {
    const char* file = std::getenv(kConfigVariable);
    if (!file || !*file)
        return BuiltInDescription();
    try {
        std::vector<std::string> warnings;
        Description description = ReadDescriptionFile(file, warnings);
        for (const std::string& warning : warnings)
            PrintLine(std::string(file) + ": warning: " + warning);
        // Building every camera once finds the node edits and values it cannot apply.
        for (uint32_t i = 0; i < description.cameras.size(); ++i)
            [[maybe_unused]] const Camera trial(description.cameras[i], i);
        return description;
    } catch (const std::exception& error) {
        const std::string line = std::string(file) + ": " + error.what();
        PrintLine(line);
        camlib::Fail(PVX_ERR_UNSUCCESSFUL, line);
        return std::nullopt;
    }
}

} // namespace

Registry& Registry::Instance() {
    // Destroyed when the library unloads, which stops every stream's generator; not
    // when the process exits on Windows, where a generator that ended holding a lock
    // would make the teardown wait for ever.
    struct Holder {
        Registry* registry = new Registry;
        ~Holder() {
            if (!ProcessExiting())
                delete registry;
        }
    };
    static Holder holder;
    return *holder.registry;
}

PvxStatus Registry::NotInitialised() const {
    return camlib::Fail(PVX_ERR_NOT_INITIALIZED, "the library is not initialised: call pvxInitLibrary first");
}

PvxStatus Registry::Initialise() {
    std::optional<Description> description = LoadDescription();
    if (!description)
        return PVX_ERR_UNSUCCESSFUL;
    if (description->initStatus != PVX_OK && description->initStatus != PVX_ERR_ALREADY_INITIALIZED)
        return camlib::Fail(description->initStatus,
                            "initialisation refused (initStatus of the description)");
    std::vector<std::shared_ptr<Enumerated>> enumeration;
    for (CameraSpec& desc : description->cameras) {
        auto faults = std::make_shared<FaultList>(desc.faults);
        enumeration.push_back(
            std::make_shared<Enumerated>(Enumerated{std::move(desc), std::move(faults), 0}));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_initialised = true;
    m_countStatus = description->countStatus;
    m_faults = std::make_shared<FaultList>(std::move(description->faults));
    m_enumeration = std::move(enumeration);
    return description->initStatus;
}

PvxStatus Registry::CameraCount(int32_t& count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return NotInitialised();
    if (m_countStatus != PVX_OK)
        return camlib::Fail(m_countStatus, "enumeration refused (countStatus of the description)");
    count = static_cast<int32_t>(m_enumeration.size());
    return PVX_OK;
}

PvxStatus Registry::OpenCamera(uint32_t index, PvxHandle& handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return NotInitialised();
    if (index >= m_enumeration.size())
        return camlib::Fail(PVX_ERR_INVALID_CAMERA_INDEX, "there is no camera " + std::to_string(index) +
                                                              ": " + std::to_string(m_enumeration.size()) +
                                                              " cameras were enumerated");
    const std::shared_ptr<Enumerated>& entry = m_enumeration[index];
    if (entry->desc.openStatus != PVX_OK)
        return camlib::Fail(entry->desc.openStatus, "camera " + std::to_string(index) +
                                                        " refuses to open (openStatus of the description)");
    if (entry->open != 0)
        return camlib::Fail(PVX_ERR_ALREADY_OPENED, "camera " + std::to_string(index) + " is open already");
    auto camera = std::make_shared<Camera>(entry->desc, index);
    handle = NewHandle(HandleKind::Camera);
    entry->open = handle;
    m_cameras.emplace(handle, OpenCameraRecord{std::move(camera), entry});
    return PVX_OK;
}

void Registry::CloseAll() {
    std::vector<PvxHandle> open;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [handle, record] : m_cameras)
            open.push_back(handle);
    }
    for (const PvxHandle handle : open)
        CloseCamera(handle);
}

PvxStatus Registry::CloseCamera(PvxHandle handle) {
    OpenCameraRecord record;
    std::shared_ptr<Stream> stream;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised)
            return NotInitialised();
        decltype(m_cameras)::iterator found;
        if (const PvxStatus status =
                FindOpen(m_cameras, handle, PVX_ERR_INVALID_CAMERA_HANDLE, "camera", found))
            return status;
        record = std::move(found->second);
        m_cameras.erase(found);
        record.entry->open = 0;
        for (auto it = m_streams.begin(); it != m_streams.end(); ++it) {
            if (it->second.camera == record.camera) {
                stream = std::move(it->second.stream);
                m_streams.erase(it);
                break;
            }
        }
    }
    // The generator reads the camera: it stops before the camera lets go of it.
    if (stream)
        stream->Close();
    record.camera->DetachStream();
    return PVX_OK;
}

PvxStatus Registry::OpenStream(PvxHandle cameraHandle, PvxEvent event, uint32_t buffers,
                               PvxHandle& streamHandle, uint32_t& frameBytes) {
    std::shared_ptr<Camera> camera;
    PvxStatus status = FindCamera(cameraHandle, camera);
    if (status != PVX_OK)
        return status;
    std::shared_ptr<Stream> stream;
    status = camera->OpenStream(event, buffers, stream, frameBytes);
    if (status != PVX_OK)
        return status;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_cameras.find(cameraHandle);
        if (found != m_cameras.end()) {
            streamHandle = NewHandle(HandleKind::Stream);
            m_streams.emplace(streamHandle, OpenStreamRecord{stream, camera, found->second.entry});
            return PVX_OK;
        }
    }
    // The camera was closed meanwhile.
    stream->Close();
    camera->DetachStream();
    return camlib::Fail(PVX_ERR_INVALID_CAMERA_HANDLE,
                        "the camera was closed while its stream was being opened");
}

PvxStatus Registry::CloseStream(PvxHandle handle) {
    OpenStreamRecord record;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised)
            return NotInitialised();
        decltype(m_streams)::iterator found;
        if (const PvxStatus status =
                FindOpen(m_streams, handle, PVX_ERR_INVALID_STREAM_HANDLE, "stream", found))
            return status;
        record = std::move(found->second);
        m_streams.erase(found);
    }
    record.stream->Close();
    record.camera->DetachStream();
    return PVX_OK;
}

PvxStatus Registry::FindCamera(PvxHandle handle, std::shared_ptr<Camera>& camera) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return NotInitialised();
    decltype(m_cameras)::iterator found;
    if (const PvxStatus status = FindOpen(m_cameras, handle, PVX_ERR_INVALID_CAMERA_HANDLE, "camera", found))
        return status;
    camera = found->second.camera;
    return PVX_OK;
}

PvxStatus Registry::FindStream(PvxHandle handle, std::shared_ptr<Stream>& stream) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        return NotInitialised();
    decltype(m_streams)::iterator found;
    if (const PvxStatus status = FindOpen(m_streams, handle, PVX_ERR_INVALID_STREAM_HANDLE, "stream", found))
        return status;
    stream = found->second.stream;
    return PVX_OK;
}

std::shared_ptr<Camera> Registry::CameraAt(uint32_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_enumeration.size() || m_enumeration[index]->open == 0)
        return nullptr;
    return m_cameras.at(m_enumeration[index]->open).camera;
}

FaultScope Registry::ScopeOf(const CallTarget& target) {
    FaultScope scope;
    std::shared_ptr<Camera> camera;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        scope.library = m_faults;
        const auto cameraFaults = [&](PvxHandle handle) {
            const auto found = m_cameras.find(handle);
            if (found == m_cameras.end())
                return;
            scope.camera = found->second.entry->faults;
            camera = found->second.camera;
        };
        switch (target.kind) {
        case CallTarget::Kind::Library:
            break;
        case CallTarget::Kind::CameraIndex:
            if (target.handle < m_enumeration.size())
                scope.camera = m_enumeration[target.handle]->faults;
            break;
        case CallTarget::Kind::Camera:
        case CallTarget::Kind::Node:
        case CallTarget::Kind::NodeName:
            cameraFaults(target.handle);
            break;
        case CallTarget::Kind::Stream: {
            const auto found = m_streams.find(target.handle);
            if (found != m_streams.end())
                scope.camera = found->second.entry->faults;
            break;
        }
        case CallTarget::Kind::Image:
            for (const auto& stream : m_streams) {
                if (stream.second.stream->Holds(target.image))
                    scope.camera = stream.second.entry->faults;
            }
            break;
        }
    }
    if (target.kind == CallTarget::Kind::NodeName && target.nodeName)
        scope.node = target.nodeName;
    else if (target.kind == CallTarget::Kind::Node && camera)
        scope.node = camera->NodeNameOf(target.node);
    return scope;
}

} // namespace sim
