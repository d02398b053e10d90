// The counts behind the stream nodes.
#include "camlib/stream_tally.h"

#include <algorithm>

namespace camlib {

namespace {

size_t Slot(TallyField field) {
    return static_cast<size_t>(field);
}

// Ids counted lost that are still looked out for, and ids arrived that are known.
constexpr size_t kIdsKept = 1024;

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
    m_missing.clear();
    m_seen.clear();
}

bool StreamTally::Arrived(uint64_t frameId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_seen.insert(frameId).second)
        return false;
    if (m_seen.size() > kIdsKept)
        m_seen.erase(m_seen.begin());
    uint64_t& lost = m_values[Slot(TallyField::Lost)];
    if (m_missing.erase(frameId) > 0) {
        --lost;
        return true;
    }
    // An id below the last that was never missed (before the first, or a camera that
    // restarted its count) skips nothing.
    if (m_anyArrived && frameId > m_lastArrived + 1) {
        lost += frameId - m_lastArrived - 1;
        for (uint64_t id = std::max(m_lastArrived + 1, frameId - std::min<uint64_t>(frameId, kIdsKept));
             id < frameId; ++id)
            m_missing.insert(id);
        while (m_missing.size() > kIdsKept)
            m_missing.erase(m_missing.begin());
    }
    if (!m_anyArrived || frameId > m_lastArrived)
        m_lastArrived = frameId;
    m_anyArrived = true;
    return true;
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

void StreamTally::DeliveredAfterAll(uint64_t frameId, uint64_t timestamp) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_values[Slot(TallyField::Dropped)];
    }
    Delivered(frameId, timestamp);
}

uint64_t StreamTally::Value(TallyField field) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_values[Slot(field)];
}

} // namespace camlib
