// Encoding costs most of what the view costs, so it is paced: a client that has the
// newest encoded image waits for the next encoding, one that is behind gets the
// encoded image at once.
#include "host/view/image_feed.h"

#include <thread>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// One pass to wait for the next encoding, one to take it; a third only if another
// client's encoding came in between.
constexpr int kPasses = 3;

} // namespace

std::shared_ptr<const ShownImage> ImageFeed::newerThan(uint64_t after, std::chrono::milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    if (!m_latest.waitNewer(after, wait))
        return nullptr;
    for (int pass = 0; pass < kPasses; ++pass) {
        std::unique_lock<std::mutex> lock(m_encodeMutex);
        const Clock::time_point now = Clock::now();
        const bool shownIsNewer = m_shown && m_shown->number > after;
        if (shownIsNewer && (now < m_nextEncoding || m_shown->number == m_latest.newestNumber()))
            return m_shown->jpeg.empty() ? nullptr : m_shown;
        if (now >= m_nextEncoding)
            return encodeNewest(now);
        const Clock::time_point next = m_nextEncoding;
        lock.unlock();
        if (next > deadline)
            return nullptr;
        std::this_thread::sleep_until(next);
    }
    return nullptr;
}

std::shared_ptr<const ShownImage> ImageFeed::shown() {
    std::lock_guard<std::mutex> lock(m_encodeMutex);
    return m_shown;
}

bool ImageFeed::readShown(const std::function<void(const ShownImage&, const LiveImage&)>& read) {
    std::lock_guard<std::mutex> lock(m_encodeMutex);
    if (!m_shown)
        return false;
    read(*m_shown, m_latest.taken());
    return true;
}

std::shared_ptr<const ShownImage> ImageFeed::encodeNewest(Clock::time_point now) {
    const LiveImage& newest = m_latest.takeNewest();
    auto shown = std::make_shared<ShownImage>();
    shown->number = newest.number;
    shown->frame = newest.frame;
    shown->acquired = newest.acquired;
    shown->geometry = newest.geometry;
    shown->jpeg = m_encoder.encode(newest.geometry, newest.pixels);
    shown->histograms = planeHistograms(ImagePlanes(newest.geometry, newest.pixels));
    m_shown = std::move(shown);
    m_nextEncoding = now + m_interval;
    return m_shown->jpeg.empty() ? nullptr : m_shown;
}

} // namespace aikhost
