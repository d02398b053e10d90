// The counts behind the stream nodes.
#include "camlib/stream_tally.h"

namespace camlib {

namespace {

size_t Slot(TallyField field) {
    return static_cast<size_t>(field);
}

} // namespace

const TallyNode* FindTallyNode(std::string_view name) {
    for (const TallyNode& node : kTallyNodes)
        if (name == node.name)
            return &node;
    return nullptr;
}

void StreamTally::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (uint64_t& value : m_values)
        value = 0;
    m_lastArrived = 0;
    m_anyArrived = false;
}

void StreamTally::Arrived(uint64_t frameId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // An id at or below the last (a camera that restarted its count) skips nothing.
    if (m_anyArrived && frameId > m_lastArrived + 1)
        m_values[Slot(TallyField::Lost)] += frameId - m_lastArrived - 1;
    if (!m_anyArrived || frameId > m_lastArrived)
        m_lastArrived = frameId;
    m_anyArrived = true;
}

void StreamTally::Incomplete() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_values[Slot(TallyField::Incomplete)];
}

void StreamTally::Dropped(uint64_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values[Slot(TallyField::Dropped)] += count;
}

void StreamTally::Delivered(uint64_t frameId, uint64_t timestamp) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_values[Slot(TallyField::Delivered)];
    m_values[Slot(TallyField::FrameId)] = frameId;
    m_values[Slot(TallyField::Timestamp)] = timestamp;
}

uint64_t StreamTally::Value(TallyField field) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_values[Slot(field)];
}

} // namespace camlib
