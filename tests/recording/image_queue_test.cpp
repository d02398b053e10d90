// The hand-over from a channel's acquisition thread to its writer: a full queue
// refuses at once and leaves the image with its caller (who counts it dropped),
// images come out in order with their metadata, and closing drains what waits.
#include "host/session/image_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace aiktest {
namespace {

constexpr std::size_t kBytes = 64;

recording::ImageMeta frame(uint64_t number) {
    recording::ImageMeta meta;
    meta.frame = number;
    return meta;
}

// Catches a full queue that blocks or takes the image anyway, a refused image whose
// buffer is lost, images out of order or with another's metadata, and buffers that
// are not handed back at the size the acquisition side needs.
TEST(ImageQueueTest, FullQueueRefusesAndOrderIsKept) {
    aikhost::ImageQueue queue(kBytes, 2);
    for (uint64_t number = 1; number <= 3; ++number) {
        std::vector<uint8_t> buffer(kBytes, static_cast<uint8_t>(number));
        const bool taken = queue.offer(buffer, frame(number));
        EXPECT_EQ(taken, number <= 2) << "image " << number;
        ASSERT_EQ(buffer.size(), kBytes) << "the caller keeps a buffer of the image's size";
        if (!taken) {
            EXPECT_EQ(buffer.front(), 3) << "a refused image stays as it was";
        }
    }
    aikhost::QueuedImage next;
    for (uint64_t number = 1; number <= 2; ++number) {
        ASSERT_TRUE(queue.take(next));
        EXPECT_EQ(next.meta.frame, number);
        EXPECT_EQ(next.image.front(), number);
        queue.recycle(std::move(next.image));
    }
    std::vector<uint8_t> again(kBytes, 4);
    EXPECT_TRUE(queue.offer(again, frame(4))) << "room again once the writer took images";
}

// Catches a writer that waits forever after the last image, or loses what was queued
// before the queue closed.
TEST(ImageQueueTest, CloseDrainsThenEndsTheWriter) {
    aikhost::ImageQueue queue(kBytes, 4);
    std::vector<uint64_t> written;
    std::thread writer([&] {
        aikhost::QueuedImage next;
        while (queue.take(next)) {
            written.push_back(*next.meta.frame);
            queue.recycle(std::move(next.image));
        }
    });
    for (uint64_t number = 1; number <= 3; ++number) {
        std::vector<uint8_t> buffer(kBytes);
        ASSERT_TRUE(queue.offer(buffer, frame(number)));
    }
    queue.close();
    writer.join();
    EXPECT_EQ(written, (std::vector<uint64_t>{1, 2, 3}));
    std::vector<uint8_t> late(kBytes);
    EXPECT_FALSE(queue.offer(late, frame(4))) << "nothing is queued after close";
}

} // namespace
} // namespace aiktest
