// Building a node map from the standard nodes and a description's node edits.
#include "sim/core/node_map.h"

#include "sim/core/handles.h"
#include "sim/core/standard_nodes.h"

#include <algorithm>

namespace sim {

namespace {

struct LinkRule {
    std::string_view name;
    NodeType type;
    Link link;
};
constexpr LinkRule kLinks[] = {
    {"DeviceVendorName", NodeType::String, Link::DeviceVendorName},
    {"DeviceModelName", NodeType::String, Link::DeviceModelName},
    {"DeviceManufacturerInfo", NodeType::String, Link::DeviceManufacturerInfo},
    {"DeviceID", NodeType::String, Link::DeviceID},
    {"SensorWidth", NodeType::Integer, Link::SensorWidth},
    {"SensorHeight", NodeType::Integer, Link::SensorHeight},
    {"Width", NodeType::Integer, Link::Width},
    {"Height", NodeType::Integer, Link::Height},
    {"OffsetX", NodeType::Integer, Link::OffsetX},
    {"OffsetY", NodeType::Integer, Link::OffsetY},
    {"PixelFormat", NodeType::Enumeration, Link::PixelFormat},
    {"PixelCoding", NodeType::Enumeration, Link::PixelCoding},
    {"PixelSize", NodeType::Enumeration, Link::PixelSize},
    {"PayloadSize", NodeType::Integer, Link::PayloadSize},
    {"TestPattern", NodeType::Enumeration, Link::TestPattern},
    {"AcquisitionFrameRate", NodeType::Float, Link::AcquisitionFrameRate},
    {"AcquisitionFrameInterval", NodeType::Float, Link::AcquisitionFrameInterval},
    {"ExposureTimeControl", NodeType::Enumeration, Link::ExposureTimeControl},
    {"ExposureTime", NodeType::Float, Link::ExposureTime},
    {"Contrast", NodeType::Float, Link::Contrast},
    {"Brightness", NodeType::Float, Link::Brightness},
    {"TriggerMode", NodeType::Enumeration, Link::TriggerMode},
    {"TriggerActivation", NodeType::Enumeration, Link::TriggerActivation},
    {"TriggerSoftware", NodeType::Command, Link::TriggerSoftware},
    {"LineStatusAll", NodeType::Integer, Link::LineStatusAll},
    {"StreamBufferHandlingMode", NodeType::Enumeration, Link::StreamBufferHandlingMode},
    {"StreamDeliveredFrameCount", NodeType::Integer, Link::StreamDeliveredFrameCount},
    {"StreamLostFrameCount", NodeType::Integer, Link::StreamLostFrameCount},
    {"StreamIncompleteFrameCount", NodeType::Integer, Link::StreamIncompleteFrameCount},
    {"StreamDroppedFrameCount", NodeType::Integer, Link::StreamDroppedFrameCount},
    {"ChunkFrameID", NodeType::Integer, Link::ChunkFrameID},
    {"ChunkTimestamp", NodeType::Integer, Link::ChunkTimestamp},
};

// A node the description gives without a value starts inside its limits, on its first entry.
NodeValue DefaultValue(const NodeSpec& desc) {
    NodeValue value;
    value.i = std::clamp<int64_t>(0, desc.intMin, desc.intMax);
    value.f = std::clamp(0.0, desc.floatMin, desc.floatMax);
    if (!desc.entries.empty())
        value.s = desc.entries.front().name;
    return value;
}

// Without the standard nodes, no node shows camera state.
Node MakeNode(const NodeSpec& desc, bool standardNodes) {
    Node node;
    node.name = desc.name;
    node.type = desc.type;
    node.access = desc.access;
    node.description = desc.description;
    node.intMin = desc.intMin;
    node.intMax = desc.intMax;
    node.floatMin = desc.floatMin;
    node.floatMax = desc.floatMax;
    node.precision = desc.precision;
    node.doneAfterPolls = desc.doneAfterPolls;
    node.path = desc.path;
    node.handle = NewHandle(HandleKind::Node);
    for (const EntrySpec& entry : desc.entries)
        node.entries.push_back({entry.name, entry.access, NewHandle(HandleKind::EnumEntry)});
    node.link = standardNodes ? LinkOf(desc.name, desc.type) : Link::None;
    if (desc.value && node.link != Link::None) {
        switch (node.link) {
        case Link::DeviceVendorName:
        case Link::DeviceModelName:
        case Link::DeviceManufacturerInfo:
        case Link::DeviceID:
        case Link::SensorWidth:
        case Link::SensorHeight:
            break; // the description reader made it the camera's own field
        case Link::PixelCoding:
        case Link::PixelSize:
        case Link::PayloadSize:
        case Link::LineStatusAll:
            node.link = Link::None; // follows from other state: the value is the node's own
            break;
        default:
            if (IsStreamCount(node.link))
                node.link = Link::None; // a described count stays the node's own
            else
                node.describedValue = desc.value;
        }
    }
    node.values.push_back(desc.value && node.link == Link::None ? *desc.value : DefaultValue(desc));
    return node;
}

// Names found by hash and removals done in one pass at the end, so that a description
// of many nodes is applied in linear time.
std::vector<NodeSpec> EditedSpecs(const CameraSpec& camera) {
    std::vector<NodeSpec> specs;
    if (camera.standardNodes)
        specs = StandardNodes(camera);
    std::unordered_map<std::string, std::size_t> positions;
    for (std::size_t i = 0; i < specs.size(); ++i)
        positions.emplace(specs[i].name, i);
    std::vector<bool> removed(specs.size(), false);
    for (const NodeSpec& edit : camera.nodes) {
        const auto existing = positions.find(edit.name);
        if (edit.remove) {
            if (existing == positions.end())
                throw DescriptionError(edit.path + ".remove",
                                       "expected the name of a standard node to remove (\"" + edit.name +
                                           "\" is none)");
            removed[existing->second] = true;
            positions.erase(existing);
        } else if (existing != positions.end()) {
            specs[existing->second] = edit;
        } else {
            positions.emplace(edit.name, specs.size());
            specs.push_back(edit);
            removed.push_back(false);
        }
    }
    std::vector<NodeSpec> kept;
    kept.reserve(specs.size());
    for (std::size_t i = 0; i < specs.size(); ++i) {
        if (!removed[i])
            kept.push_back(std::move(specs[i]));
    }
    return kept;
}

} // namespace

Link LinkOf(std::string_view name, NodeType type) {
    for (const LinkRule& rule : kLinks) {
        if (rule.name == name)
            return rule.type == type ? rule.link : Link::None;
    }
    return Link::None;
}

NodeMap::NodeMap(const CameraSpec& camera) {
    const std::vector<NodeSpec> specs = EditedSpecs(camera);
    m_nodes.reserve(specs.size());
    for (const NodeSpec& desc : specs) {
        m_byName.emplace(desc.name, m_nodes.size());
        m_nodes.push_back(MakeNode(desc, camera.standardNodes));
    }
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        m_byHandle.emplace(m_nodes[i].handle, Slot{i, std::string::npos});
        for (std::size_t e = 0; e < m_nodes[i].entries.size(); ++e)
            m_byHandle.emplace(m_nodes[i].entries[e].handle, Slot{i, e});
    }
    for (std::size_t i = 0; i < specs.size(); ++i) {
        if (specs[i].selector.empty())
            continue;
        const auto found = m_byName.find(specs[i].selector);
        const bool usable = found != m_byName.end() && specs[found->second].selector.empty() &&
                            m_nodes[found->second].type == NodeType::Enumeration &&
                            m_nodes[found->second].link == Link::None &&
                            !m_nodes[found->second].entries.empty();
        if (usable) {
            m_nodes[i].selector = static_cast<int>(found->second);
            m_nodes[i].values.resize(m_nodes[found->second].entries.size(), m_nodes[i].values.front());
        } else if (!specs[i].path.empty()) {
            throw DescriptionError(
                specs[i].path + ".selector",
                "expected the name of an Enumeration node that holds its own value and has no "
                "selector itself");
        }
        // A standard node whose selector an edit replaced keeps a single value.
    }
}

Node* NodeMap::Find(std::string_view name) {
    const auto found = m_byName.find(std::string(name));
    return found == m_byName.end() ? nullptr : &m_nodes[found->second];
}

const Node* NodeMap::Find(std::string_view name) const {
    return const_cast<NodeMap*>(this)->Find(name);
}

NodeMap::Target NodeMap::Resolve(PvxHandle handle) {
    const auto found = m_byHandle.find(handle);
    if (found == m_byHandle.end())
        return {};
    Node& node = m_nodes[found->second.node];
    if (found->second.entry == std::string::npos)
        return {&node, nullptr};
    return {&node, &node.entries[found->second.entry]};
}

std::size_t NodeMap::SelectedIndex(const Node& node) const {
    if (node.selector < 0)
        return 0;
    const Node& selector = m_nodes[static_cast<std::size_t>(node.selector)];
    const std::string& current = selector.values.front().s;
    for (std::size_t e = 0; e < selector.entries.size(); ++e) {
        if (selector.entries[e].name == current)
            return e;
    }
    return 0;
}

NodeValue& NodeMap::Selected(Node& node) {
    return node.values[SelectedIndex(node)];
}

const NodeValue& NodeMap::Selected(const Node& node) const {
    return node.values[SelectedIndex(node)];
}

} // namespace sim
