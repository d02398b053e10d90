// The library's process-wide state: the cameras found by the last initialisation,
// the opened ones and their streams, behind one lock that serialises every call
// reaching a camera (Aravis's node tree is not safe for concurrent use).
#pragma once

#include "aravis/core/camera.h"
#include "aravis/core/stream.h"
#include "camera/quorvex_api.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace arv_backend {

class Registry {
public:
    static Registry& Instance();

    // 0 the first time, 2 after; both enumerate anew.
    PvxStatus Initialise();
    PvxStatus CameraCount(int32_t& count);
    PvxStatus OpenCamera(uint32_t index, PvxHandle& handle);
    // Closes the camera's stream too, if one is open.
    PvxStatus CloseCamera(PvxHandle handle);

    // Runs body(Camera&) under the lock; PVX_ERR_INVALID_CAMERA_HANDLE for an unknown
    // handle, PVX_ERR_CAMERA_NOT_RESPONDING at once for a camera that stopped answering.
    template <typename Body> PvxStatus WithCamera(PvxHandle handle, Body body) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Camera* camera = FindCamera(handle);
        if (!camera)
            return UnknownCamera(handle);
        return Answering(*camera->Link(), [&] { return body(*camera); });
    }

    // Creates the camera's stream with buffers of its payload size; 4 when one is open.
    PvxStatus OpenStream(PvxHandle camera, PvxEvent event, uint32_t buffers, PvxHandle& stream,
                         uint32_t& frameBytes);
    // A stream's image calls need no camera and do not wait behind node calls.
    PvxStatus FindStream(PvxHandle handle, std::shared_ptr<Stream>& stream);
    PvxStatus CloseStream(PvxHandle handle);
    // Start and stop reach the camera, under the lock.
    template <typename Body> PvxStatus WithStreamLocked(PvxHandle handle, Body body) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_streams.find(handle);
        if (found == m_streams.end())
            return UnknownStream(handle);
        Stream& stream = *found->second.stream;
        return Answering(stream.Link(), [&] { return body(stream); });
    }

private:
    struct OpenedStream {
        std::shared_ptr<Stream> stream;
        PvxHandle camera = 0;
    };

    // PVX_ERR_CAMERA_NOT_RESPONDING without calling body when the camera stopped
    // answering; a time-out of body's marks it so.
    template <typename Body> static PvxStatus Answering(CameraLink& link, Body body) {
        if (link.Lost())
            return link.NotResponding();
        const PvxStatus status = body();
        if (status == PVX_ERR_CAMERA_NOT_RESPONDING)
            link.MarkLost("a request timed out");
        return status;
    }
    Camera* FindCamera(PvxHandle handle) const;
    // Closes on a thread of its own: Aravis's stop and release of control wait seconds
    // for a camera that no longer answers.
    static void Dispose(std::shared_ptr<Stream> stream, std::unique_ptr<Camera> camera);
    static PvxStatus UnknownCamera(PvxHandle handle);
    static PvxStatus UnknownStream(PvxHandle handle);
    void Enumerate(const Settings& settings);
    // The stream's object is destroyed outside the lock by the caller's copy.
    std::shared_ptr<Stream> DetachStream(PvxHandle handle);

    std::mutex m_mutex;
    bool m_initialised = false;
    std::vector<std::string> m_deviceIds;
    // Cameras this enumeration could not open (in use, unreachable), by device id: asked
    // again before the next enumeration they are refused at once, with the same
    // reason, rather than after Aravis's seconds of retries.
    struct Refusal {
        PvxStatus status;
        std::string reason;
    };
    std::map<std::string, Refusal> m_refused;
    std::map<PvxHandle, std::unique_ptr<Camera>> m_cameras;
    std::map<PvxHandle, OpenedStream> m_streams;
    PvxHandle m_nextHandle = 0x1000;
};

} // namespace arv_backend
