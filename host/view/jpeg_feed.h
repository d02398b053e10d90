// The live image as JPEG for any number of clients: the newest image is encoded when
// a client asks for an image newer than its last, at most once per image and at most
// at the rate given, and every client then gets that same file. A client that stalls
// holds only its own copy.
#ifndef AIKHOST_JPEG_FEED_H
#define AIKHOST_JPEG_FEED_H

#include "host/view/jpeg_encoder.h"
#include "host/view/latest_image.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace aikhost {

struct JpegImage {
    uint64_t number = 0;
    std::optional<uint32_t> frame;
    std::chrono::steady_clock::time_point acquired{};
    std::vector<uint8_t> file;
};

class JpegFeed {
public:
    // maxPerSecond: the most images encoded per second, whatever the camera's rate.
    JpegFeed(LatestImage& latest, double maxPerSecond)
        : m_latest(latest), m_interval(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(1 / maxPerSecond))) {}

    // The newest image when it is newer than number `after`, waiting at most `wait`
    // for one; null when none came (or it could not be encoded).
    std::shared_ptr<const JpegImage> newerThan(uint64_t after, std::chrono::milliseconds wait);

private:
    std::shared_ptr<const JpegImage> encodeNewest(std::chrono::steady_clock::time_point now);

    LatestImage& m_latest;
    const std::chrono::steady_clock::duration m_interval;
    std::mutex m_encodeMutex; // one reader of m_latest, one encoding at a time; guards the rest
    std::chrono::steady_clock::time_point m_nextEncoding{};
    JpegEncoder m_encoder;
    std::shared_ptr<const JpegImage> m_encoded;
};

} // namespace aikhost

#endif
