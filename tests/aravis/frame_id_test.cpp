// Frame numbers across the camera's block-id wrap.
#include "aravis/core/frame_id.h"

#include <gtest/gtest.h>

#include <vector>

namespace aiktest {
namespace {

struct FrameIdCase {
    const char* name;
    std::vector<uint64_t> blockIds;
    std::vector<uint64_t> frameIds;
};

const FrameIdCase kCases[] = {
    {"Consecutive", {1, 2, 3}, {1, 2, 3}},
    {"GapCountsTheLostFrames", {5, 6, 9}, {5, 6, 9}},
    // 0 is skipped: 65535 is followed by 1.
    {"SixteenBitWrapSkipsZero", {65534, 65535, 1, 2}, {65534, 65535, 65536, 65537}},
    {"WrapWithLoss", {65533, 3}, {65533, 65538}},
    {"SixtyFourBitIdsPassTheWrapPoint", {65535, 65536, 65537}, {65535, 65536, 65537}},
    {"RestartedCountMovesOn", {100000, 7}, {100000, 100001}},
};

class FrameIdTest : public ::testing::TestWithParam<FrameIdCase> {};

// Catches frame numbers that jump back at the wrap or count the skipped 0.
TEST_P(FrameIdTest, FrameNumbersKeepCounting) {
    arv_backend::FrameIdExtender extender;
    std::vector<uint64_t> frameIds;
    for (uint64_t blockId : GetParam().blockIds)
        frameIds.push_back(extender.Extend(blockId));
    EXPECT_EQ(frameIds, GetParam().frameIds);
}

INSTANTIATE_TEST_SUITE_P(Aravis, FrameIdTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FrameIdCase>& tested) {
                             return tested.param.name;
                         });

} // namespace
} // namespace aiktest
