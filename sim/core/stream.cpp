// The stream's buffers and its generator thread.
#include "sim/core/stream.h"

#include "camlib/event_signal.h"
#include "camlib/last_error.h"
#include "sim/core/frame_faults.h"
#include "sim/defaults.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

uint64_t Microseconds(Stream::Clock::time_point time) {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count());
}

} // namespace

Stream::Stream(SettingsSource source, PvxEvent event, uint32_t buffers, uint32_t frameBytes, Options options,
               std::shared_ptr<camlib::StreamTally> tally)
    : m_source(std::move(source)), m_event(event),
      m_canWithdraw(options.takeBackSignals && camlib::CanWithdrawSignals(event)),
      m_bufferLimit(options.bufferLimit), m_frameBytes(frameBytes), m_tally(std::move(tally)),
      m_replay(std::move(options.replay)), m_replayPaced(options.replayPaced), m_handling(options.handling),
      m_buffers(buffers) {
    m_tally->Reset();
    for (Buffer& buffer : m_buffers)
        buffer.data.resize(frameBytes);
}

Stream::~Stream() {
    Close();
}

PvxStatus Stream::ClosedStatus() const {
    return camlib::Fail(PVX_ERR_INVALID_STREAM_HANDLE, "the stream has been closed");
}

PvxStatus Stream::Start(uint32_t buffers) {
    std::lock_guard<std::mutex> control(m_control);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    if (m_running)
        return camlib::Fail(PVX_ERR_ALREADY_ACTIVATED, "the stream is running already");
    if (buffers == 0 || buffers > m_buffers.size())
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, "cannot queue " + std::to_string(buffers) +
                                                           " buffers: the stream has " +
                                                           std::to_string(m_buffers.size()));
    // Images of an earlier run are stale now; locked ones stay with the host.
    for (Buffer& buffer : m_buffers) {
        if (buffer.state == BufferState::Completed || buffer.state == BufferState::Superseded)
            buffer.state = BufferState::Free;
    }
    m_completed.clear();
    m_activeBuffers = m_bufferLimit != 0 ? std::min(buffers, m_bufferLimit) : buffers;
    m_frameCounter = 0;
    if (m_replay)
        m_replay->Rewind();
    m_triggers.clear();
    m_outputStopped = false;
    m_stopRequested = false;
    m_lastImageTime = Clock::now();
    m_running = true;
    m_thread = std::thread(&Stream::Run, this);
    return PVX_OK;
}

PvxStatus Stream::Stop() {
    std::lock_guard<std::mutex> control(m_control);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    JoinGenerator(lock);
    return PVX_OK;
}

void Stream::Close() {
    std::lock_guard<std::mutex> control(m_control);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_closed)
        return;
    m_closed = true;
    JoinGenerator(lock);
    // The images held will never be locked now (superseded ones count as dropped already).
    m_tally->Dropped(m_completed.size());
}

void Stream::JoinGenerator(std::unique_lock<std::mutex>& lock) {
    if (!m_running)
        return;
    m_stopRequested = true;
    // The generator takes the lock to finish its image, so it is let go for the join.
    lock.unlock();
    m_wake.notify_all();
    m_thread.join();
    lock.lock();
    m_running = false;
}

PvxStatus Stream::CompletedImage(uint32_t& index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    if (m_completed.empty()) {
        index = kNoCompletedImage;
        return camlib::Fail(PVX_ERR_EMPTY_COMPLETE_QUEUE,
                            "no image has completed since the last one was locked");
    }
    index = static_cast<uint32_t>(m_completed.front());
    return PVX_OK;
}

PvxStatus Stream::Lock(uint32_t index, PvxImageRecord& record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    if (index >= m_buffers.size())
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE, "image index " + std::to_string(index) +
                                                              " is beyond the stream's " +
                                                              std::to_string(m_buffers.size()) + " buffers");
    Buffer& buffer = m_buffers[index];
    if (buffer.state == BufferState::Free || buffer.state == BufferState::Filling)
        return camlib::Fail(PVX_ERR_NOT_READY,
                            "buffer " + std::to_string(index) + " holds no completed image");
    if (buffer.state == BufferState::Superseded) {
        m_tally->DeliveredAfterAll(buffer.frameId, buffer.timestamp);
    } else if (buffer.state == BufferState::Completed) {
        m_tally->Delivered(buffer.frameId, buffer.timestamp);
        m_completed.erase(std::find(m_completed.begin(), m_completed.end(), static_cast<int>(index)));
        camlib::SignalAfterTaking(m_event, m_canWithdraw, !m_completed.empty());
    }
    buffer.state = BufferState::Locked;
    m_lastLocked = static_cast<int>(index);
    std::memset(&record, 0, sizeof record);
    record.uiSize = kImageRecordSize;
    record.uiIndex = index;
    record.uiPixelFormat = buffer.geometry.pixelFormat;
    record.uiWidth = buffer.geometry.width;
    record.uiHeight = buffer.geometry.height;
    record.ullFrameId = buffer.frameId;
    record.ullTimestamp = buffer.timestamp;
    record.pData = buffer.data.data();
    record.uiDataBytes = m_frameBytes;
    return PVX_OK;
}

PvxStatus Stream::Copy(void* destination, uint32_t& size) {
    // The copy runs under the lock so that no release from another thread hands the
    // buffer back to the generator half-way.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    if (m_lastLocked < 0 || m_buffers[static_cast<size_t>(m_lastLocked)].state != BufferState::Locked)
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE, "no image is locked");
    const uint32_t bytes = std::min(size, m_frameBytes);
    std::memcpy(destination, m_buffers[static_cast<size_t>(m_lastLocked)].data.data(), bytes);
    size = bytes;
    return PVX_OK;
}

PvxStatus Stream::Release(uint32_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return ClosedStatus();
    if (index >= m_buffers.size() || m_buffers[index].state != BufferState::Locked)
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE,
                            "image " + std::to_string(index) + " is not locked");
    m_buffers[index].state = BufferState::Free;
    if (m_lastLocked == static_cast<int>(index))
        m_lastLocked = -1;
    return PVX_OK;
}

void Stream::Trigger(std::chrono::microseconds delay) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running || m_outputStopped)
            return;
        m_triggers.push_back(Clock::now() + delay);
    }
    m_wake.notify_all();
}

void Stream::SettingsChanged() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changed = true;
    }
    m_wake.notify_all();
}

void Stream::StopOutput() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outputStopped = true;
        m_triggers.clear();
    }
    m_wake.notify_all();
}

bool Stream::Holds(const void* data) const {
    const auto* byte = static_cast<const uint8_t*>(data);
    return std::any_of(m_buffers.begin(), m_buffers.end(), [&](const Buffer& buffer) {
        return std::less_equal<const uint8_t*>()(buffer.data.data(), byte) &&
               std::less<const uint8_t*>()(byte, buffer.data.data() + buffer.data.size());
    });
}

Stream::Counters Stream::GetCounters() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_counters;
}

int Stream::PickBuffer() const {
    // A free buffer first; else, with NewestOnly, the oldest superseded image or the
    // newest image nobody took; never a locked one, nor one OldestFirst holds.
    int oldest = -1;
    for (uint32_t i = 0; i < m_activeBuffers; ++i) {
        const Buffer& buffer = m_buffers[i];
        if (buffer.state == BufferState::Free)
            return static_cast<int>(i);
        if (buffer.state == BufferState::Superseded &&
            (oldest < 0 || buffer.frameId < m_buffers[static_cast<size_t>(oldest)].frameId))
            oldest = static_cast<int>(i);
    }
    if (m_handling == camlib::BufferHandling::OldestFirst)
        return -1;
    return oldest >= 0 ? oldest : (m_completed.empty() ? -1 : m_completed.front());
}

bool Stream::WaitForImage(const FrameSettings& settings, std::unique_lock<std::mutex>& lock) {
    const auto interrupted = [this] { return m_stopRequested || m_changed; };
    if (m_outputStopped) {
        m_wake.wait(lock, interrupted);
        return false;
    }
    if (settings.triggered) {
        if (m_triggers.empty()) {
            m_wake.wait(lock, [&] { return interrupted() || !m_triggers.empty(); });
            return false;
        }
        if (m_wake.wait_until(lock, m_triggers.front(), interrupted))
            return false;
        m_triggers.pop_front();
        return true;
    }
    m_triggers.clear();
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / settings.frameRate));
    const Clock::time_point due = m_lastImageTime + period;
    if (m_wake.wait_until(lock, due, interrupted))
        return false;
    // Behind by more than one period (a slow fill, a busy machine): start afresh
    // rather than deliver a burst.
    m_lastImageTime = std::max(due, Clock::now() - period);
    return true;
}

void Stream::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopRequested) {
        m_changed = false;
        lock.unlock();
        FrameSettings settings = m_source();
        if (m_replay && m_replayPaced)
            if (const auto seconds = m_replay->SecondsToNext())
                settings.frameRate = 1.0 / *seconds;
        lock.lock();
        if (WaitForImage(settings, lock))
            Produce(lock);
    }
}

void Stream::Produce(std::unique_lock<std::mutex>& lock) {
    const uint64_t frameId = ++m_frameCounter;
    const int index = PickBuffer();
    if (index < 0) {
        ++m_counters.dropped;
        return;
    }
    Buffer& buffer = m_buffers[static_cast<size_t>(index)];
    if (buffer.state == BufferState::Completed || buffer.state == BufferState::Superseded)
        ++m_counters.overwritten; // announced, never locked: lost to the host
    if (buffer.state == BufferState::Completed)
        m_tally->Dropped();
    m_completed.erase(std::remove(m_completed.begin(), m_completed.end(), index), m_completed.end());
    buffer.state = BufferState::Filling;
    lock.unlock();
    // Read now rather than before the wait, so that every image started after a
    // setting changed shows it.
    FrameSettings settings;
    bool fits = false;
    uint64_t shownFrame = frameId;
    bool ended = false;
    // Nothing may leave the frame thread: an image that cannot be made (out of
    // memory, say) is lost and the stream goes on.
    try {
        EnterFrame();
        settings = m_source();
        const camlib::ImageGeometry& geometry = settings.geometry;
        // The camera keeps size and format fixed while a stream is open; an image that
        // would not fit its buffer is lost rather than written past it.
        fits = static_cast<uint64_t>(geometry.width) * geometry.height *
                   camlib::BytesPerPixel(geometry.pixelFormat) ==
               m_frameBytes;
        if (fits && m_replay) {
            ended = !m_replay->Play(buffer.data.data(), shownFrame);
        } else if (fits) {
            m_renderer.Prepare(geometry, settings.pattern);
            m_renderer.Render(static_cast<uint32_t>(frameId), buffer.data.data());
        }
    } catch (...) {
        fits = false;
    }
    const camlib::ImageGeometry& geometry = settings.geometry;
    const uint64_t timestamp = Microseconds(Clock::now());
    lock.lock();
    if (ended) {
        // The recording is over: no more images until the stream starts again.
        buffer.state = BufferState::Free;
        m_outputStopped = true;
        return;
    }
    if (!fits) {
        buffer.state = BufferState::Free;
        ++m_counters.dropped;
        return;
    }
    // A superseded image counts as dropped at once, so that the counts add up while the
    // stream runs; a host that locks it still takes it back.
    if (m_handling == camlib::BufferHandling::NewestOnly && !m_completed.empty()) {
        m_buffers[static_cast<size_t>(m_completed.front())].state = BufferState::Superseded;
        m_tally->Dropped();
        m_completed.clear();
    }
    buffer.state = BufferState::Completed;
    m_tally->Arrived(shownFrame);
    buffer.frameId = shownFrame;
    buffer.timestamp = timestamp;
    buffer.geometry = geometry;
    m_completed.push_back(index);
    ++m_counters.images;
    // Signalled under the lock, so that taking an image (which withdraws the pending
    // signals) and announcing one never interleave.
    EnterSignal();
    camlib::SignalEvent(m_event);
}

} // namespace sim
