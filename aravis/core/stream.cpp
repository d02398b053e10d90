// The stream thread's callback takes finished buffers off Aravis's queue itself and
// signals the host's event once per newly held image, so the signals and the images
// held always agree, as the contract requires; callbacks coalesce, hence the pop
// until empty. OldestFirst leaves a full pool to Aravis, which then counts the images
// that found no buffer.
#include "aravis/core/stream.h"

#include "aravis/core/last_error.h"
#include "camlib/event_signal.h"
#include "camlib/last_error.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace arv_backend {

Stream::Stream(ArvCamera* camera, std::shared_ptr<CameraLink> link,
               std::shared_ptr<camlib::StreamTally> tally, PvxEvent event, const StreamSetup& setup)
    : m_camera(ARV_CAMERA(g_object_ref(camera))), m_link(std::move(link)), m_tally(std::move(tally)),
      m_event(event), m_canWithdraw(camlib::CanWithdrawSignals(event)), m_handling(setup.handling) {
    m_tally->Reset();
    GError* error = nullptr;
    const guint payload = arv_camera_get_payload(m_camera, &error);
    if (!error)
        m_stream = arv_camera_create_stream(m_camera, &Stream::OnStreamEvent, this, &error);
    if (error) {
        const std::string message = error->message ? error->message : "stream creation failed";
        g_error_free(error);
        g_object_unref(m_camera);
        throw std::runtime_error(message);
    }
    m_frameBytes = payload;
    if (ARV_IS_GV_STREAM(m_stream) && setup.socketBufferBytes > 0)
        g_object_set(m_stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_FIXED, "socket-buffer-size",
                     static_cast<gint>(setup.socketBufferBytes), nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.resize(setup.buffers);
    for (Slot& slot : m_slots) {
        slot.buffer = arv_buffer_new(payload, nullptr);
        // The stream holds a reference of its own while a buffer is queued.
        g_object_ref(slot.buffer);
        arv_stream_push_buffer(m_stream, slot.buffer);
    }
}

Stream::~Stream() {
    // A lost camera is not asked to stop: nothing would answer.
    if (!m_link->Lost())
        Stop();
    // Joins the stream thread; no callback runs after this.
    g_object_unref(m_stream);
    // The images still held will never be locked.
    m_tally->Dropped(m_completed.size());
    for (Slot& slot : m_slots)
        g_object_unref(slot.buffer);
    g_object_unref(m_camera);
}

PvxStatus Stream::Start() {
    GError* error = nullptr;
    arv_camera_set_acquisition_mode(m_camera, ARV_ACQUISITION_MODE_CONTINUOUS, &error);
    if (!error)
        arv_camera_start_acquisition(m_camera, &error);
    if (error)
        return FromError(error, "starting the acquisition");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = true;
    return PVX_OK;
}

PvxStatus Stream::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running)
            return PVX_OK;
        m_running = false;
    }
    if (m_link->Lost())
        return m_link->NotResponding();
    return StopAcquisition(*m_link, m_camera, "stopping the acquisition");
}

void Stream::Silence() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_silenced = true;
}

void Stream::OnStreamEvent(void* self, ArvStreamCallbackType type, ArvBuffer* /*buffer*/) {
    if (type != ARV_STREAM_CALLBACK_TYPE_BUFFER_DONE)
        return;
    auto* stream = static_cast<Stream*>(self);
    std::lock_guard<std::mutex> lock(stream->m_mutex);
    stream->Collect();
}

void Stream::Collect() {
    while (ArvBuffer* buffer = arv_stream_try_pop_buffer(m_stream)) {
        // Each popped buffer gives back the reference the queue held.
        g_object_unref(buffer);
        const int index = SlotOf(buffer);
        if (index < 0)
            continue;
        Slot& slot = m_slots[static_cast<size_t>(index)];
        ++m_counters.produced;
        // GigE Vision never sends block id 0: such a buffer lacks its leader, and the
        // next id's gap counts the image as lost (other transports count from 0). An id
        // seen before is late packets of an image counted already.
        const guint64 blockId = arv_buffer_get_frame_id(buffer);
        bool firstArrival = false;
        if (blockId != 0 || !ARV_IS_GV_STREAM(m_stream)) {
            slot.frameId = m_frameIds.Extend(blockId);
            firstArrival = m_tally->Arrived(slot.frameId);
        }
        if (arv_buffer_get_status(buffer) != ARV_BUFFER_STATUS_SUCCESS || !firstArrival) {
            ++m_counters.lost;
            if (firstArrival)
                m_tally->Incomplete();
            Requeue(slot);
            continue;
        }
        if (m_handling == camlib::BufferHandling::NewestOnly && !m_completed.empty()) {
            ++m_counters.superseded;
            m_tally->Dropped();
            Requeue(m_slots[static_cast<size_t>(m_completed.front())]);
            m_completed.clear();
        }
        slot.state = State::Completed;
        m_completed.push_back(index);
        if (!m_silenced)
            camlib::SignalEvent(m_event);
    }
}

int Stream::SlotOf(ArvBuffer* buffer) const {
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].buffer == buffer)
            return static_cast<int>(i);
    return -1;
}

void Stream::Requeue(Slot& slot) {
    slot.state = State::Queued;
    g_object_ref(slot.buffer);
    arv_stream_push_buffer(m_stream, slot.buffer);
}

PvxStatus Stream::CompletedImage(uint32_t& index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Collect();
    if (m_completed.empty()) {
        index = PVX_ERR_EMPTY_COMPLETE_QUEUE;
        return camlib::Fail(PVX_ERR_EMPTY_COMPLETE_QUEUE,
                            "no image has completed since the last one was locked");
    }
    index = static_cast<uint32_t>(m_completed.front());
    return PVX_OK;
}

PvxStatus Stream::Lock(uint32_t index, PvxImageRecord& record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_slots.size())
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE, "image index " + std::to_string(index) +
                                                              " is beyond the stream's " +
                                                              std::to_string(m_slots.size()) + " buffers");
    Slot& slot = m_slots[index];
    if (slot.state == State::Queued)
        return camlib::Fail(PVX_ERR_NOT_READY,
                            "buffer " + std::to_string(index) + " holds no completed image");
    const bool delivered = slot.state == State::Completed;
    if (delivered) {
        m_completed.erase(std::find(m_completed.begin(), m_completed.end(), static_cast<int>(index)));
        ++m_counters.delivered;
        camlib::SignalAfterTaking(m_event, m_canWithdraw, !m_completed.empty() && !m_silenced);
    }
    slot.state = State::Locked;
    m_lastLocked = static_cast<int>(index);
    size_t bytes = 0;
    const void* data = arv_buffer_get_image_data(slot.buffer, &bytes);
    std::memset(&record, 0, sizeof record);
    record.uiSize = sizeof record;
    record.uiIndex = index;
    record.uiPixelFormat = arv_buffer_get_image_pixel_format(slot.buffer);
    record.uiWidth = static_cast<uint32_t>(arv_buffer_get_image_width(slot.buffer));
    record.uiHeight = static_cast<uint32_t>(arv_buffer_get_image_height(slot.buffer));
    record.ullFrameId = slot.frameId;
    const guint64 stamp = arv_buffer_get_timestamp(slot.buffer);
    record.ullTimestamp = (stamp != 0 ? stamp : arv_buffer_get_system_timestamp(slot.buffer)) / 1000;
    if (delivered)
        m_tally->Delivered(record.ullFrameId, record.ullTimestamp);
    record.pData = const_cast<void*>(data);
    record.uiDataBytes = static_cast<uint32_t>(bytes);
    return PVX_OK;
}

PvxStatus Stream::Copy(void* destination, uint32_t& size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_lastLocked < 0 || m_slots[static_cast<size_t>(m_lastLocked)].state != State::Locked)
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE, "no image is locked");
    size_t bytes = 0;
    const void* data = arv_buffer_get_image_data(m_slots[static_cast<size_t>(m_lastLocked)].buffer, &bytes);
    const size_t copied = std::min<size_t>(bytes, size);
    std::memcpy(destination, data, copied);
    size = static_cast<uint32_t>(copied);
    return PVX_OK;
}

PvxStatus Stream::Release(uint32_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_slots.size() || m_slots[index].state != State::Locked)
        return camlib::Fail(PVX_ERR_INVALID_IMAGE_HANDLE,
                            "image " + std::to_string(index) + " is not locked");
    Requeue(m_slots[index]);
    if (m_lastLocked == static_cast<int>(index))
        m_lastLocked = -1;
    return PVX_OK;
}

StreamCounters Stream::Counters() {
    guint64 completed = 0;
    guint64 failures = 0;
    guint64 underruns = 0;
    arv_stream_get_statistics(m_stream, &completed, &failures, &underruns);
    std::lock_guard<std::mutex> lock(m_mutex);
    StreamCounters counters = m_counters;
    counters.lost += underruns;
    return counters;
}

} // namespace arv_backend
