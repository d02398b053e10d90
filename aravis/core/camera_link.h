// Whether an opened camera still answers. Aravis gives up on an unanswered GigE Vision
// request only after its retries (about 2.5 s a request, 5 s for a stop) and tells of a
// lost control later still, so a heartbeat of the library's own notices silence within
// a second; once lost, a camera stays lost until it is closed and every call on it
// fails at once.
#pragma once

#include "camera/quorvex_api.h"

#include <arv.h>

#include <functional>
#include <memory>
#include <string>

namespace arv_backend {

class CameraLink {
public:
    // Watches the device: its control-lost signal and, for a GigE Vision device, a
    // heartbeat read of the control register every 100 ms.
    CameraLink(std::string cameraName, ArvDevice* device);
    // Stops watching; waits for the heartbeat thread unless the camera is lost, when
    // the thread ends by itself once Aravis gives up on its last read.
    ~CameraLink();
    CameraLink(const CameraLink&) = delete;
    CameraLink& operator=(const CameraLink&) = delete;

    bool Lost() const;
    void MarkLost(const std::string& reason);
    // PVX_ERR_CAMERA_NOT_RESPONDING with a last error saying the camera stopped answering.
    PvxStatus NotResponding() const;

    struct State;

    // Runs work on a thread of its own and returns its status, or
    // PVX_ERR_CAMERA_NOT_RESPONDING as soon as the camera is lost while it runs; the work
    // then finishes in the background, so it must own everything it touches. What it
    // owns is gone before its status is returned.
    PvxStatus Bounded(std::function<PvxStatus()> work) { return Bounded(m_state, std::move(work)); }
    // The same for work that closes the camera, this link included: watched is Watched().
    static PvxStatus Bounded(std::shared_ptr<State> watched, std::function<PvxStatus()> work);
    std::shared_ptr<State> Watched() const { return m_state; }

private:
    std::shared_ptr<State> m_state;
    // A reference of its own: a stream, which shares the link, may outlive the camera
    // and its device reference.
    ArvDevice* const m_device;
    unsigned long m_lostHandler = 0;
};

// AcquisitionStop within the link's bound: Aravis waits 5 s for a camera that stopped
// answering to take it.
PvxStatus StopAcquisition(CameraLink& link, ArvCamera* camera, const std::string& what);

} // namespace arv_backend
