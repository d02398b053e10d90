// A free buffer is allocated only when none comes back in time, so the pool grows to
// the depth the queue reaches and no further.
#include "host/session/image_queue.h"

#include <algorithm>

namespace aikhost {

ImageQueue::ImageQueue(std::size_t imageBytes, std::size_t capacity)
    : m_imageBytes(imageBytes), m_capacity(std::max<std::size_t>(capacity, 1)) {}

bool ImageQueue::offer(std::vector<uint8_t>& buffer, const recording::ImageMeta& meta) {
    std::vector<uint8_t> spare;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || m_waiting.size() >= m_capacity)
            return false;
        if (!m_free.empty()) {
            spare = std::move(m_free.back());
            m_free.pop_back();
        }
        m_waiting.push_back({std::move(buffer), meta});
    }
    m_ready.notify_one();
    // Allocated outside the lock, so that the writer never waits for it.
    if (spare.size() != m_imageBytes)
        spare.resize(m_imageBytes);
    buffer = std::move(spare);
    return true;
}

bool ImageQueue::take(QueuedImage& next) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait(lock, [this] { return m_closed || !m_waiting.empty(); });
    if (m_waiting.empty())
        return false;
    next = std::move(m_waiting.front());
    m_waiting.pop_front();
    return true;
}

void ImageQueue::recycle(std::vector<uint8_t>&& buffer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_free.push_back(std::move(buffer));
}

void ImageQueue::close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_ready.notify_all();
}

} // namespace aikhost
