// The image stream of one camera: its buffers and the generator thread that fills
// them at the frame rate, or once per software trigger, and signals the host's event.
#pragma once

#include "sim/core/frame_renderer.h"
#include "sim/core/replay.h"

#include "camera/quorvex_api.h"
#include "camlib/buffer_handling.h"
#include "camlib/stream_tally.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

// What the generator reads from the camera: before waiting (mode and rate) and before
// filling each image (geometry and pattern).
struct FrameSettings {
    camlib::ImageGeometry geometry{};
    TestPattern pattern = TestPattern::Off;
    bool triggered = false;
    double frameRate = 1.0;
};

class Stream {
public:
    using SettingsSource = std::function<FrameSettings()>;
    using Clock = std::chrono::steady_clock;

    struct Options {
        // Locking the newest image consumes the event's pending signals (where the
        // event allows it), a promise beyond the library's one signal per image.
        bool takeBackSignals = false;
        // Buffers in use at most however many are queued (0: as queued).
        uint32_t bufferLimit = 0;
        // Images from a recording instead of the test pattern; paced: at the recorded
        // times rather than the frame rate.
        std::shared_ptr<Replay> replay;
        bool replayPaced = true;
        camlib::BufferHandling handling = camlib::BufferHandling::NewestOnly;
    };
    // Allocates buffers of frameBytes each (throws std::bad_alloc).
    // Counts into tally, zeroed first.
    Stream(SettingsSource source, PvxEvent event, uint32_t buffers, uint32_t frameBytes, Options options,
           std::shared_ptr<camlib::StreamTally> tally);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    uint32_t FrameBytes() const { return m_frameBytes; }

    PvxStatus Start(uint32_t buffers);
    // Stopping a stream that does not run succeeds.
    PvxStatus Stop();
    // Stops for good; every later call fails as on an unknown stream.
    void Close();

    PvxStatus CompletedImage(uint32_t& index);
    PvxStatus Lock(uint32_t index, PvxImageRecord& record);
    PvxStatus Copy(void* destination, uint32_t& size);
    PvxStatus Release(uint32_t index);

    // From the camera: one image after delay (trigger mode), a change of rate or
    // mode, the acquisition-stop register.
    void Trigger(std::chrono::microseconds delay);
    void SettingsChanged();
    void StopOutput();

    bool Holds(const void* data) const;
    struct Counters {
        uint64_t images = 0;      // completed and announced
        uint64_t dropped = 0;     // due while every buffer was locked, or not made
        uint64_t overwritten = 0; // announced, then overwritten before anyone locked them
    };
    Counters GetCounters();

private:
    // Stops the generator thread, if it runs, and waits for it; lock holds m_mutex.
    void JoinGenerator(std::unique_lock<std::mutex>& lock);
    // Completed: an image held for the host, announced (NewestOnly: the newest alone).
    // Superseded: an older image, no longer announced but still lockable (a host may
    // have asked for it just before a newer one completed) until the generator needs
    // its buffer.
    enum class BufferState { Free, Filling, Completed, Superseded, Locked };
    struct Buffer {
        std::vector<uint8_t> data;
        BufferState state = BufferState::Free;
        uint64_t frameId = 0;
        uint64_t timestamp = 0;
        camlib::ImageGeometry geometry{};
    };

    void Run();
    // Waits for the next image's time; false when the stream stops or the settings changed.
    bool WaitForImage(const FrameSettings& settings, std::unique_lock<std::mutex>& lock);
    void Produce(std::unique_lock<std::mutex>& lock);
    int PickBuffer() const;
    PvxStatus ClosedStatus() const;

    const SettingsSource m_source;
    const PvxEvent m_event;
    const bool m_canWithdraw;
    const uint32_t m_bufferLimit;
    const uint32_t m_frameBytes;
    const std::shared_ptr<camlib::StreamTally> m_tally;
    const std::shared_ptr<Replay> m_replay;
    const bool m_replayPaced;
    const camlib::BufferHandling m_handling;

    std::mutex m_control; // serialises Start, Stop and Close
    std::mutex m_mutex;   // everything below
    std::condition_variable m_wake;
    std::thread m_thread;
    std::vector<Buffer> m_buffers;
    bool m_running = false;
    bool m_closed = false;
    bool m_stopRequested = false;
    bool m_changed = false;
    bool m_outputStopped = false;
    uint32_t m_activeBuffers = 0;
    std::deque<int> m_completed; // oldest first; NewestOnly holds one at most
    int m_lastLocked = -1;
    uint64_t m_frameCounter = 0;
    Counters m_counters;
    Clock::time_point m_lastImageTime;
    std::deque<Clock::time_point> m_triggers;
    FrameRenderer m_renderer; // the generator thread's alone
};

} // namespace sim
