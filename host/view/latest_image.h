// The newest image of the live view, handed from the acquisition thread to whoever
// shows it: three buffers, so that the writer never waits for a reader and a reader
// always gets the newest complete image, never a queue of older ones.
#ifndef AIKHOST_LATEST_IMAGE_H
#define AIKHOST_LATEST_IMAGE_H

#include "channel/video_channel.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace aikhost {

struct LiveImage {
    uint64_t number = 0;           // 1, 2, 3, ... in the order the host received them
    std::optional<uint32_t> frame; // the camera's frame number, where the image carries one
    ImageAttributes geometry{};
    std::chrono::steady_clock::time_point acquired{}; // when GetImage returned it
    std::vector<uint8_t> pixels;
};

class LatestImage {
public:
    // Every buffer holds `bytes`, enough for the largest image the channel can deliver,
    // so that none is ever resized while a reader holds it.
    explicit LatestImage(std::size_t bytes);

    // The writer's buffer: fill it, then publish(). Only the acquisition thread calls these.
    LiveImage& writable() { return m_buffers[m_write]; }
    void publish();

    // Whether an image newer than number `after` is there, waiting for one at most `wait`.
    bool waitNewer(uint64_t after, std::chrono::milliseconds wait) const;
    // Ends every wait at once, and every later one: the view is closing.
    void close();
    // The number of the newest published image, 0 before the first.
    uint64_t newestNumber() const;
    // The newest image (number 0 before the first); it stays as it is until the
    // reader's next call. One reader at a time: the caller serialises them.
    const LiveImage& takeNewest();
    // The image the reader took last, as takeNewest gave it.
    const LiveImage& taken() const { return m_buffers[m_read]; }

private:
    LiveImage m_buffers[3];
    int m_write = 0;
    int m_read = 1;
    int m_newest = 2;
    bool m_fresh = false; // m_newest holds an image the reader has not taken
    bool m_closed = false;
    uint64_t m_newestNumber = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_published;
};

} // namespace aikhost

#endif
