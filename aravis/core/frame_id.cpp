// An id a little lower than the last one is a late image (an incomplete one is given
// up only after newer ones completed); much lower, it is a wrap when the last one was
// a 16-bit id, and anything else going backwards (a camera restarting its count)
// moves on by one.
#include "aravis/core/frame_id.h"

namespace arv_backend {

namespace {

constexpr uint64_t kBlockIdMax = 0xFFFF;
// Half the 16-bit range: no image is that late.
constexpr uint64_t kLateness = 0x8000;

} // namespace

uint64_t FrameIdExtender::Extend(uint64_t blockId) {
    if (!m_started) {
        m_started = true;
        m_frameId = blockId;
        m_lastBlockId = blockId;
        return m_frameId;
    }
    if (blockId == m_lastBlockId)
        return m_frameId;
    uint64_t forward = 0;
    uint64_t back = 0;
    if (m_lastBlockId <= kBlockIdMax && blockId <= kBlockIdMax) {
        // 16-bit ids count 1 to 0xFFFF and start again at 1.
        forward = blockId > m_lastBlockId ? blockId - m_lastBlockId : kBlockIdMax - m_lastBlockId + blockId;
        back = kBlockIdMax - forward;
    } else if (blockId > m_lastBlockId) {
        forward = blockId - m_lastBlockId;
        back = UINT64_MAX;
    } else {
        back = m_lastBlockId - blockId;
        forward = back < kLateness ? 0 : 1;
    }
    if (back < kLateness)
        return m_frameId - back;
    m_frameId += forward;
    m_lastBlockId = blockId;
    return m_frameId;
}

} // namespace arv_backend
