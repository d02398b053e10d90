// The live view's image exchange and loss count: a reader gets the newest image and
// keeps it untouched while the writer goes on; gaps in frame numbers count as lost.
#include "host/view/frame_loss.h"
#include "host/view/image_feed.h"
#include "host/view/latest_image.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace {

using aikhost::LatestImage;
using namespace std::chrono_literals;

constexpr std::size_t kBytes = 64 * 48;

void publish(LatestImage& latest, uint64_t number, uint8_t fill) {
    aikhost::LiveImage& image = latest.writable();
    image.number = number;
    image.geometry.width = 64;
    image.geometry.height = 48;
    image.geometry.pixelFormat = AIK_PIXEL_MONO8;
    std::fill(image.pixels.begin(), image.pixels.end(), fill);
    latest.publish();
}

// Catches a queue in place of the newest image (five published unread give the fifth),
// or the writer reusing the buffer a reader holds: the held image stays as it was.
TEST(LatestImageTest, ReaderGetsTheNewestAndKeepsTheHeldImage) {
    LatestImage latest(kBytes);
    EXPECT_FALSE(latest.waitNewer(0, 0ms));
    publish(latest, 1, 0x11);
    const aikhost::LiveImage& held = latest.takeNewest();
    for (uint64_t number = 2; number <= 6; ++number)
        publish(latest, number, static_cast<uint8_t>(0x20 + number));
    EXPECT_EQ(held.number, 1u);
    EXPECT_EQ(std::count(held.pixels.begin(), held.pixels.end(), 0x11), static_cast<long>(kBytes));
    ASSERT_TRUE(latest.waitNewer(1, 0ms));
    EXPECT_EQ(latest.takeNewest().number, 6u);
    EXPECT_FALSE(latest.waitNewer(6, 0ms));
    EXPECT_EQ(latest.takeNewest().number, 6u) << "taking again without news keeps the image";
}

// Catches more than one encoding per image, a client given an image older than it
// asked for, histograms of another image than the one shown, and a wait that the
// view's closing does not end.
TEST(ImageFeedTest, OneEncodingPerImageForEveryClient) {
    LatestImage latest(kBytes);
    aikhost::ImageFeed feed(latest, 1000);
    publish(latest, 1, 0x80);
    const auto first = feed.newerThan(0, 0ms);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->jpeg.at(0), 0xFF);
    ASSERT_EQ(first->histograms.size(), 1u);
    EXPECT_EQ(first->histograms[0].counts.at(0x80), kBytes);
    EXPECT_EQ(feed.newerThan(0, 0ms), first) << "a second client shares the first encoding";
    EXPECT_FALSE(feed.newerThan(1, 0ms)) << "nothing newer than image 1 yet";
    publish(latest, 2, 0x40);
    const auto second = feed.newerThan(1, 100ms);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->number, 2u);
    EXPECT_EQ(second->histograms[0].counts.at(0x40), kBytes);
    publish(latest, 3, 0x20);
    EXPECT_TRUE(feed.readShown([](const aikhost::ShownImage& shown, const aikhost::LiveImage& image) {
        EXPECT_EQ(shown.number, 2u);
        EXPECT_EQ(image.pixels.at(0), 0x40) << "the pixels shown, not the newer image's";
    }));
    // Closed, a wait returns at once; one that closing does not end runs into the
    // test's time-out.
    latest.close();
    EXPECT_FALSE(feed.newerThan(3, 60s));
}

struct LossCase {
    const char* name;
    std::vector<std::optional<uint32_t>> frames;
    uint64_t lost;
    bool known;
};

const LossCase kLossCases[] = {
    {"consecutive", {5, 6, 7, 8}, 0, true},
    {"gaps", {1, 2, 5, 6, 10}, 5, true},
    {"restartedStream", {100, 101, 3, 4}, 0, true},
    {"unnumbered", {1, std::nullopt, 2}, 0, false},
};

class FrameLossTest : public ::testing::TestWithParam<LossCase> {};

// Catches off-by-one gap counts, a restarted stream counted as billions lost, and
// unnumbered images reported as no loss.
TEST_P(FrameLossTest, CountsGaps) {
    aikhost::FrameLoss loss;
    for (const auto& frame : GetParam().frames)
        aikhost::countFrame(loss, frame);
    EXPECT_EQ(loss.lost, GetParam().lost);
    EXPECT_EQ(loss.known, GetParam().known);
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameLossTest, ::testing::ValuesIn(kLossCases), aiktest::CaseName());

} // namespace
