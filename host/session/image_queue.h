// The hand-over of one channel's images from its acquisition thread to its writer
// thread: buffers of one size, at most a fixed number of images waiting, and never a
// wait on the acquisition side (an image that finds the queue full is refused, for its
// caller to count as dropped). Buffers go round instead of being allocated per image.
#ifndef AIKHOST_IMAGE_QUEUE_H
#define AIKHOST_IMAGE_QUEUE_H

#include "recording/image_meta.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace aikhost {

struct QueuedImage {
    std::vector<uint8_t> image;
    recording::ImageMeta meta;
};

class ImageQueue {
public:
    // capacity: images waiting at most, at least one.
    ImageQueue(std::size_t imageBytes, std::size_t capacity);

    // Queues the image in buffer, leaving a free buffer of the same size in its place;
    // false, buffer untouched, when the queue is full or closed.
    bool offer(std::vector<uint8_t>& buffer, const recording::ImageMeta& meta);
    // Waits for the oldest image; false once the queue is closed and empty. Hand its
    // buffer back with recycle.
    bool take(QueuedImage& next);
    void recycle(std::vector<uint8_t>&& buffer);
    // No image is offered after this; take drains what waits.
    void close();

private:
    const std::size_t m_imageBytes;
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<QueuedImage> m_waiting;
    std::vector<std::vector<uint8_t>> m_free;
    bool m_closed = false;
};

} // namespace aikhost

#endif
