// A camera's node map: nodes by name and by handle, their limits and the values of
// the nodes that hold their own; nodes tied to camera state say which state (Link).
#pragma once

#include "sim/core/description.h"

#include "camlib/stream_tally.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sim {

// The camera state a node shows, when its value is not its own.
enum class Link : uint8_t {
    None,
    DeviceVendorName,
    DeviceModelName,
    DeviceManufacturerInfo,
    DeviceID,
    SensorWidth,
    SensorHeight,
    Width,
    Height,
    OffsetX,
    OffsetY,
    PixelFormat,
    PixelCoding,
    PixelSize,
    PayloadSize,
    TestPattern,
    AcquisitionFrameRate,
    AcquisitionFrameInterval,
    ExposureTimeControl,
    ExposureTime,
    Contrast,
    Brightness,
    TriggerMode,
    TriggerActivation,
    TriggerSoftware,
    LineStatusAll,
    StreamBufferHandlingMode,
    // The stream's counts, in camlib::TallyField's order.
    StreamDeliveredFrameCount,
    StreamLostFrameCount,
    StreamIncompleteFrameCount,
    StreamDroppedFrameCount,
    ChunkFrameID,
    ChunkTimestamp,
};

// The link of a node of that name and type: a node keeps it only with the standard type.
Link LinkOf(std::string_view name, NodeType type);

// Whether the link shows one of the stream's counts, and which.
inline bool IsStreamCount(Link link) {
    return link >= Link::StreamDeliveredFrameCount && link <= Link::ChunkTimestamp;
}
inline camlib::TallyField TallyFieldOf(Link link) {
    return static_cast<camlib::TallyField>(static_cast<int>(link) -
                                           static_cast<int>(Link::StreamDeliveredFrameCount));
}

struct EnumEntry {
    std::string name;
    Access access;
    PvxHandle handle;
};

struct Node {
    std::string name;
    NodeType type;
    Access access;
    std::string description;
    int64_t intMin, intMax;
    double floatMin, floatMax;
    int64_t precision;
    std::vector<EnumEntry> entries;
    uint32_t doneAfterPolls;
    Link link = Link::None;
    std::optional<NodeValue> describedValue; // of a linked node: applied to the camera when it opens
    int selector = -1;                       // index of the node whose entry picks the value in use
    std::vector<NodeValue> values;           // one per selector entry, else one
    PvxHandle handle = 0;
    bool commandPending = false; // executed, completion not reported yet
    uint32_t polls = 0;
    std::string path; // where the description gave the node; empty for standard nodes
};

class NodeMap {
public:
    // The standard nodes (unless switched off) with the camera's node edits applied.
    // Throws DescriptionError for an edit that cannot be applied.
    explicit NodeMap(const CameraSpec& camera);

    Node* Find(std::string_view name);
    const Node* Find(std::string_view name) const;

    // A node handle gives the node; an entry handle its enumeration and the entry.
    struct Target {
        Node* node = nullptr;
        const EnumEntry* entry = nullptr;
    };
    Target Resolve(PvxHandle handle);

    // The value in use: of the selector's current entry when the node has a selector.
    NodeValue& Selected(Node& node);
    const NodeValue& Selected(const Node& node) const;

    std::vector<Node>& Nodes() { return m_nodes; }

private:
    std::size_t SelectedIndex(const Node& node) const;

    std::vector<Node> m_nodes; // never resized after construction: pointers stay valid
    std::unordered_map<std::string, std::size_t> m_byName;
    struct Slot {
        std::size_t node;
        std::size_t entry; // npos for the node itself
    };
    std::unordered_map<PvxHandle, Slot> m_byHandle;
};

} // namespace sim
