// Only indices change hands under the lock; the pixels are never copied here.
#include "host/view/latest_image.h"

#include <utility>

namespace aikhost {

LatestImage::LatestImage(std::size_t bytes) {
    for (LiveImage& buffer : m_buffers)
        buffer.pixels.resize(bytes);
}

void LatestImage::publish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_newestNumber = m_buffers[m_write].number;
        std::swap(m_write, m_newest);
        m_fresh = true;
    }
    m_published.notify_all();
}

bool LatestImage::waitNewer(uint64_t after, std::chrono::milliseconds wait) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_published.wait_for(lock, wait, [&] { return m_closed || m_newestNumber > after; }) && !m_closed;
}

void LatestImage::close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_published.notify_all();
}

uint64_t LatestImage::newestNumber() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_newestNumber;
}

const LiveImage& LatestImage::takeNewest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fresh) {
        std::swap(m_read, m_newest);
        m_fresh = false;
    }
    return m_buffers[m_read];
}

} // namespace aikhost
