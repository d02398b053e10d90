// Frame numbers that keep counting where the camera's block ids wrap: GigE Vision 1.x
// ids are 16 bits wide and skip 0; USB3 Vision and the fake camera count in 64 bits.
#pragma once

#include <cstdint>

namespace arv_backend {

class FrameIdExtender {
public:
    // The frame number of the image with this block id; the first id starts the count,
    // a late image keeps its place.
    uint64_t Extend(uint64_t blockId);

private:
    bool m_started = false;
    uint64_t m_lastBlockId = 0;
    uint64_t m_frameId = 0;
};

} // namespace arv_backend
