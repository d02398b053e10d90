// The stream counts both camera libraries keep: which frame ids are lost, which
// arrive late or twice.
#include "camlib/stream_tally.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ArrivalCase {
    const char* name;
    std::vector<uint64_t> arrivals;
    uint64_t lost;
    std::vector<bool> firstTime;
};

const ArrivalCase kArrivals[] = {
    {"InOrder", {1, 2, 3}, 0, {true, true, true}},
    {"GapsAreLost", {1, 4, 5, 9}, 5, {true, true, true, true}},
    {"LateArrivalIsNoLongerLost", {1, 3, 2}, 0, {true, true, true}},
    {"RepeatedIdCountedOnce", {1, 2, 2, 3}, 0, {true, true, false, true}},
    {"RepeatedLateIdCountedOnce", {5, 7, 6, 6}, 0, {true, true, true, false}},
    {"BeforeTheFirstSkipsNothing", {10, 8, 11}, 0, {true, true, true}},
};

// Catches an image counted as lost and again when it arrives late, late packets of an
// image counted as another image, or gaps miscounted.
TEST(StreamTally, LostAreTheIdsThatNeverArrived) {
    for (const ArrivalCase& c : kArrivals) {
        camlib::StreamTally tally;
        std::vector<bool> firstTime;
        for (uint64_t id : c.arrivals)
            firstTime.push_back(tally.Arrived(id));
        EXPECT_EQ(tally.Value(camlib::TallyField::Lost), c.lost) << c.name;
        EXPECT_EQ(firstTime, c.firstTime) << c.name;
    }
}

// Catches counts that carry into the next stream, or a taken-back image counted twice.
TEST(StreamTally, ResetStartsAgainAndATakenDropIsDelivered) {
    camlib::StreamTally tally;
    tally.Arrived(1);
    tally.Arrived(3);
    tally.Dropped();
    tally.DeliveredAfterAll(3, 42);
    EXPECT_EQ(tally.Value(camlib::TallyField::Dropped), 0u);
    EXPECT_EQ(tally.Value(camlib::TallyField::Delivered), 1u);
    EXPECT_EQ(tally.Value(camlib::TallyField::FrameId), 3u);
    EXPECT_EQ(tally.Value(camlib::TallyField::Timestamp), 42u);
    tally.Reset();
    tally.Arrived(7);
    for (camlib::TallyField field : {camlib::TallyField::Delivered, camlib::TallyField::Lost,
                                     camlib::TallyField::Dropped, camlib::TallyField::FrameId})
        EXPECT_EQ(tally.Value(field), 0u);
}

} // namespace
