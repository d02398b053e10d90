// What a stream did with the camera's images, kept by both camera libraries and
// offered as read-only integer nodes: the GenTL SFNC data-stream counts and the last
// locked image's chunk values. Every image the camera numbered is exactly one of
// delivered, lost, incomplete, dropped or, until the stream stops, held; so produced
// = delivered + lost + incomplete + dropped once it stops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <set>
#include <string_view>

namespace camlib {

enum class TallyField : uint8_t { Delivered, Lost, Incomplete, Dropped, FrameId, Timestamp };

struct TallyNode {
    const char* name;
    TallyField field;
    const char* description;
};

inline constexpr TallyNode kTallyNodes[] = {
    {"StreamDeliveredFrameCount", TallyField::Delivered,
     "Images locked by the host since the stream opened."},
    {"StreamLostFrameCount", TallyField::Lost,
     "Images the camera numbered that never arrived (gaps in the frame ids) since the stream opened."},
    {"StreamIncompleteFrameCount", TallyField::Incomplete,
     "Images that arrived incomplete and were not delivered, since the stream opened."},
    {"StreamDroppedFrameCount", TallyField::Dropped,
     "Complete images never locked (a newer one took their place, or the stream stopped) since the stream "
     "opened."},
    {"ChunkFrameID", TallyField::FrameId, "Frame id of the last locked image."},
    {"ChunkTimestamp", TallyField::Timestamp, "Camera timestamp of the last locked image, microseconds."},
};

// The node of that name; nullptr for another name.
const TallyNode* FindTallyNode(std::string_view name);

// Thread-safe: the stream's thread and the host's calls both count.
class StreamTally {
public:
    // Zero again: a new stream.
    void Reset();
    // An image the camera numbered frameId has arrived, complete or not; the ids
    // skipped since the last one are lost, until one of them arrives late. False for
    // an id that arrived already (late packets of an image given up), counted once.
    bool Arrived(uint64_t frameId);
    void Incomplete();
    void Dropped(uint64_t count = 1);
    void Delivered(uint64_t frameId, uint64_t timestamp);
    // A dropped image that the host took all the same.
    void DeliveredAfterAll(uint64_t frameId, uint64_t timestamp);
    uint64_t Value(TallyField field) const;

private:
    mutable std::mutex m_mutex;
    uint64_t m_values[6] = {};
    uint64_t m_lastArrived = 0;
    bool m_anyArrived = false;
    // The latest ids counted lost, which may still arrive, and the latest arrived;
    // the oldest are let go.
    std::set<uint64_t> m_missing;
    std::set<uint64_t> m_seen;
};

} // namespace camlib
