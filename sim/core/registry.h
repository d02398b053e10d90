// The library's process-wide state: whether it is initialised, the cameras the last
// pvxInitLibrary enumerated with their faults, and the open cameras and streams by handle.
#pragma once

#include "sim/core/call_target.h"
#include "sim/core/camera.h"
#include "sim/core/faults.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

// The fault lists and the node a call concerns.
struct FaultScope {
    std::shared_ptr<FaultList> library;
    std::shared_ptr<FaultList> camera;
    std::string node;
};

class Registry {
public:
    static Registry& Instance();

    // Reads the description named by QUORVEX_SIM_CONFIG (or takes the built-in set)
    // and enumerates its cameras. Cameras open from an earlier enumeration stay open.
    PvxStatus Initialise();
    PvxStatus CameraCount(int32_t& count);

    PvxStatus OpenCamera(uint32_t index, PvxHandle& handle);
    PvxStatus CloseCamera(PvxHandle handle);
    PvxStatus OpenStream(PvxHandle camera, PvxEvent event, uint32_t buffers, PvxHandle& stream,
                         uint32_t& frameBytes);
    PvxStatus CloseStream(PvxHandle stream);
    // Closes every open camera, and so its stream.
    void CloseAll();

    // PVX_ERR_NOT_INITIALIZED before initialisation, PVX_ERR_INVALID_CAMERA_HANDLE or
    // PVX_ERR_INVALID_STREAM_HANDLE for a handle that names nothing open.
    PvxStatus FindCamera(PvxHandle handle, std::shared_ptr<Camera>& camera);
    PvxStatus FindStream(PvxHandle handle, std::shared_ptr<Stream>& stream);
    // The open camera at an index of the current enumeration, if any.
    std::shared_ptr<Camera> CameraAt(uint32_t index);

    FaultScope ScopeOf(const CallTarget& target);

private:
    struct Enumerated {
        CameraSpec desc;
        std::shared_ptr<FaultList> faults;
        PvxHandle open = 0; // handle of the camera while it is open
    };
    struct OpenCameraRecord {
        std::shared_ptr<Camera> camera;
        std::shared_ptr<Enumerated> entry;
    };
    struct OpenStreamRecord {
        std::shared_ptr<Stream> stream;
        std::shared_ptr<Camera> camera;
        std::shared_ptr<Enumerated> entry;
    };

    PvxStatus NotInitialised() const;

    std::mutex m_mutex;
    bool m_initialised = false;
    PvxStatus m_countStatus = PVX_OK;
    std::shared_ptr<FaultList> m_faults;
    std::vector<std::shared_ptr<Enumerated>> m_enumeration;
    std::unordered_map<PvxHandle, OpenCameraRecord> m_cameras;
    std::unordered_map<PvxHandle, OpenStreamRecord> m_streams;
};

} // namespace sim
