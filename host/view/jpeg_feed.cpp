// Encoding costs most of what the view costs, so it is paced: a client that has the
// newest encoded image waits for the next encoding, one that is behind gets the
// encoded image at once.
#include "host/view/jpeg_feed.h"

#include <thread>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// One pass to wait for the next encoding, one to take it; a third only if another
// client's encoding came in between.
constexpr int kPasses = 3;

} // namespace

std::shared_ptr<const JpegImage> JpegFeed::newerThan(uint64_t after, std::chrono::milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    if (!m_latest.waitNewer(after, wait))
        return nullptr;
    for (int pass = 0; pass < kPasses; ++pass) {
        std::unique_lock<std::mutex> lock(m_encodeMutex);
        const Clock::time_point now = Clock::now();
        const bool encodedIsNewer = m_encoded && m_encoded->number > after;
        if (encodedIsNewer && (now < m_nextEncoding || m_encoded->number == m_latest.newestNumber()))
            return m_encoded;
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

std::shared_ptr<const JpegImage> JpegFeed::encodeNewest(Clock::time_point now) {
    const LiveImage& newest = m_latest.takeNewest();
    auto encoded = std::make_shared<JpegImage>();
    encoded->number = newest.number;
    encoded->frame = newest.frame;
    encoded->acquired = newest.acquired;
    encoded->file = m_encoder.encode(newest.geometry, newest.pixels);
    m_encoded = std::move(encoded);
    m_nextEncoding = now + m_interval;
    return m_encoded->file.empty() ? nullptr : m_encoded;
}

} // namespace aikhost
