// The live image for any number of clients: when a client asks for an image newer
// than its last, the newest one is encoded as JPEG and its planes counted into
// histograms, at most once per image and at most at the rate given, and every client
// then gets that same result. The image so shown stays readable as delivered (pixel
// levels, snapshots) until the next one is taken. A client that stalls holds only
// its own copy.
#ifndef AIKHOST_IMAGE_FEED_H
#define AIKHOST_IMAGE_FEED_H

#include "host/view/image_planes.h"
#include "host/view/jpeg_encoder.h"
#include "host/view/latest_image.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace aikhost {

struct ShownImage {
    uint64_t number = 0;
    std::optional<uint32_t> frame;
    std::chrono::steady_clock::time_point acquired{};
    ImageAttributes geometry{};
    std::vector<uint8_t> jpeg;
    std::vector<PlaneHistogram> histograms;
};

class ImageFeed {
public:
    // maxPerSecond: the most images encoded per second, whatever the camera's rate.
    ImageFeed(LatestImage& latest, double maxPerSecond)
        : m_latest(latest), m_interval(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(1 / maxPerSecond))) {}

    // The newest image when it is newer than number `after`, waiting at most `wait`
    // for one; null when none came (or it could not be encoded).
    std::shared_ptr<const ShownImage> newerThan(uint64_t after, std::chrono::milliseconds wait);
    // The image last shown; null before the first.
    std::shared_ptr<const ShownImage> shown();
    // Calls read with the image last shown and its pixels as delivered, while no newer
    // one can take their place; false (read not called) before the first.
    bool readShown(const std::function<void(const ShownImage&, const LiveImage&)>& read);

private:
    std::shared_ptr<const ShownImage> encodeNewest(std::chrono::steady_clock::time_point now);

    LatestImage& m_latest;
    const std::chrono::steady_clock::duration m_interval;
    std::mutex m_encodeMutex; // one reader of m_latest, one encoding at a time; guards the rest
    std::chrono::steady_clock::time_point m_nextEncoding{};
    JpegEncoder m_encoder;
    std::shared_ptr<const ShownImage> m_shown;
};

} // namespace aikhost

#endif
