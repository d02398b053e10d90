// One camera's image stream over Aravis: a pool of buffers, the completed ones held for
// the host as the buffer handling says, a locked one kept until the host's copy is done.
#pragma once

#include "aravis/core/camera_link.h"
#include "aravis/core/frame_id.h"
#include "camera/quorvex_api.h"
#include "camlib/buffer_handling.h"
#include "camlib/stream_tally.h"

#include <arv.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace arv_backend {

struct StreamCounters {
    uint64_t produced = 0;   // buffers Aravis completed, failed ones included
    uint64_t delivered = 0;  // images locked by the host
    uint64_t lost = 0;       // failed buffers and images that found no free buffer
    uint64_t superseded = 0; // completed, but a newer one came before the host took it
};

struct StreamSetup {
    uint32_t buffers = 0;
    uint32_t socketBufferBytes = 0;
    camlib::BufferHandling handling = camlib::BufferHandling::NewestOnly;
};

class Stream {
public:
    // Creates the Aravis stream and queues buffers of the camera's payload size
    // (throws std::runtime_error with Aravis's text on failure).
    // Counts into tally, zeroed first.
    Stream(ArvCamera* camera, std::shared_ptr<CameraLink> link, std::shared_ptr<camlib::StreamTally> tally,
           PvxEvent event, const StreamSetup& setup);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    uint32_t FrameBytes() const { return m_frameBytes; }
    CameraLink& Link() const { return *m_link; }

    PvxStatus Start();
    // Stopping a stream that does not run succeeds; a camera that stops answering
    // leaves the stop within the link's bound.
    PvxStatus Stop();
    // The event is never signalled again, whatever the stream thread still completes.
    void Silence();

    PvxStatus CompletedImage(uint32_t& index);
    PvxStatus Lock(uint32_t index, PvxImageRecord& record);
    PvxStatus Copy(void* destination, uint32_t& size);
    PvxStatus Release(uint32_t index);
    StreamCounters Counters();

private:
    enum class State { Queued, Completed, Locked };
    struct Slot {
        ArvBuffer* buffer = nullptr;
        State state = State::Queued;
        uint64_t frameId = 0;
    };

    static void OnStreamEvent(void* self, ArvStreamCallbackType type, ArvBuffer* buffer);
    // Takes every finished buffer off Aravis's output queue; m_mutex held.
    void Collect();
    int SlotOf(ArvBuffer* buffer) const;
    void Requeue(Slot& slot);

    ArvCamera* const m_camera;
    const std::shared_ptr<CameraLink> m_link;
    const std::shared_ptr<camlib::StreamTally> m_tally;
    const PvxEvent m_event;
    const bool m_canWithdraw;
    const camlib::BufferHandling m_handling;
    uint32_t m_frameBytes = 0;
    ArvStream* m_stream = nullptr;

    std::mutex m_mutex; // everything below; the stream thread's callback takes it too
    std::vector<Slot> m_slots;
    bool m_running = false;
    bool m_silenced = false;
    std::deque<int> m_completed; // oldest first; NewestOnly keeps one at most
    int m_lastLocked = -1;
    FrameIdExtender m_frameIds;
    StreamCounters m_counters;
};

} // namespace arv_backend
