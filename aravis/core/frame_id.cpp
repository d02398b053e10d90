// An id lower than the last one is a wrap when the last one was a 16-bit id; anything
// else going backwards (a camera restarting its count) moves on by one.
#include "aravis/core/frame_id.h"

namespace arv_backend {

namespace {

constexpr uint64_t kBlockIdMax = 0xFFFF;

} // namespace

uint64_t FrameIdExtender::Extend(uint64_t blockId) {
    if (!m_started) {
        m_started = true;
        m_frameId = blockId;
    } else if (blockId > m_lastBlockId) {
        m_frameId += blockId - m_lastBlockId;
    } else if (m_lastBlockId <= kBlockIdMax && blockId < m_lastBlockId) {
        m_frameId += kBlockIdMax - m_lastBlockId + blockId;
    } else {
        ++m_frameId;
    }
    m_lastBlockId = blockId;
    return m_frameId;
}

} // namespace arv_backend
