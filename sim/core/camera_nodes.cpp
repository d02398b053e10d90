// Node operations of a camera: look-up, type and access checks, typed values,
// enumeration entries and commands.
#include "sim/core/camera.h"
#include "sim/core/handles.h"

#include "camlib/text_out.h"
#include "sim/core/limit_check.h"

#include <algorithm>
#include <cmath>

namespace sim {

Access Camera::EffectiveAccess(const Node& node) const {
    // Size, format and buffer handling are locked while a stream is open: its buffers
    // are allocated and handled so.
    const bool fixedByStream = node.link == Link::Width || node.link == Link::Height ||
                               node.link == Link::PixelFormat || node.link == Link::StreamBufferHandlingMode;
    if (node.access == Access::RW && fixedByStream && StreamOpen())
        return Access::RO;
    return node.access;
}

PvxStatus Camera::Resolve(PvxHandle handle, NodeType type, Use use, Node*& node) {
    const NodeMap::Target target = m_nodes.Resolve(handle);
    if (!target.node)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "handle " + HandleText(handle) + " is no node of this camera");
    if (target.entry)
        return camlib::Fail(PVX_ERR_GENICAM, "handle " + HandleText(handle) + " is entry \"" +
                                                 target.entry->name + "\" of " + target.node->name +
                                                 ", not a " + NodeTypeName(type) + " node");
    if (target.node->type != type)
        return camlib::Fail(PVX_ERR_GENICAM, target.node->name + " is a " + NodeTypeName(target.node->type) +
                                                 " node, not a " + NodeTypeName(type) + " node");
    const Access access = EffectiveAccess(*target.node);
    const std::string accessText = std::string(" (access ") + AccessName(access) + ")";
    if (!IsAvailable(access))
        return camlib::Fail(PVX_ERR_NOT_AVAILABLE, target.node->name + " is not available" + accessText);
    if (use == Use::Read && !IsReadable(access))
        return camlib::Fail(PVX_ERR_NOT_READABLE, target.node->name + " is not readable" + accessText);
    if (use == Use::Write && !IsWritable(access)) {
        const bool locked = access != target.node->access;
        return camlib::Fail(PVX_ERR_NOT_WRITABLE,
                            target.node->name + " is not writable" +
                                (locked ? std::string(" while a stream is open") : accessText));
    }
    node = target.node;
    return PVX_OK;
}

PvxStatus Camera::FindNode(const char* name, PvxHandle& handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Node* node = m_nodes.Find(name);
    if (!node)
        return camlib::Fail(PVX_ERR_NOT_FOUND, std::string("the camera has no node \"") + name + "\"");
    handle = node->handle;
    return PVX_OK;
}

std::string Camera::NodeNameOf(PvxHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const NodeMap::Target target = m_nodes.Resolve(handle);
    return target.node ? target.node->name : std::string();
}

PvxStatus Camera::GetNodeType(PvxHandle handle, uint32_t& type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const NodeMap::Target target = m_nodes.Resolve(handle);
    if (!target.node)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "handle " + HandleText(handle) + " is no node of this camera");
    type =
        target.entry ? static_cast<uint32_t>(PVX_NODE_ENUM_ENTRY) : static_cast<uint32_t>(target.node->type);
    return PVX_OK;
}

PvxStatus Camera::GetNodeAccess(PvxHandle handle, uint32_t& access) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const NodeMap::Target target = m_nodes.Resolve(handle);
    if (!target.node)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "handle " + HandleText(handle) + " is no node of this camera");
    access = static_cast<uint32_t>(target.entry ? target.entry->access : EffectiveAccess(*target.node));
    return PVX_OK;
}

PvxStatus Camera::GetNodeDescription(PvxHandle handle, char* text, uint32_t& size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const NodeMap::Target target = m_nodes.Resolve(handle);
    if (!target.node)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "handle " + HandleText(handle) + " is no node of this camera");
    return camlib::CopyTextSized(target.entry ? std::string() : target.node->description, text, size);
}

PvxStatus Camera::GetInt(PvxHandle handle, int64_t& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Integer, Use::Read, node);
    if (status == PVX_OK)
        value = node->link != Link::None ? ReadLinked(*node).i : m_nodes.Selected(*node).i;
    return status;
}

PvxStatus Camera::SetInt(PvxHandle handle, int64_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    PvxStatus status = Resolve(handle, NodeType::Integer, Use::Write, node);
    if (status == PVX_OK)
        status = CheckLimits(node->name, value, node->intMin, node->intMax, PVX_ERR_GENICAM);
    if (status != PVX_OK)
        return status;
    if (node->link != Link::None) {
        NodeValue linked;
        linked.i = value;
        return WriteLinked(*node, linked);
    }
    m_nodes.Selected(*node).i = value;
    return PVX_OK;
}

PvxStatus Camera::GetIntLimit(PvxHandle handle, bool maximum, int64_t& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Integer, Use::Inspect, node);
    if (status == PVX_OK)
        value = maximum ? node->intMax : node->intMin;
    return status;
}

PvxStatus Camera::GetFloat(PvxHandle handle, double& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Float, Use::Read, node);
    if (status == PVX_OK)
        value = node->link != Link::None ? ReadLinked(*node).f : m_nodes.Selected(*node).f;
    return status;
}

PvxStatus Camera::SetFloat(PvxHandle handle, double value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    PvxStatus status = Resolve(handle, NodeType::Float, Use::Write, node);
    if (status == PVX_OK)
        status = CheckNumber(node->name, value, PVX_ERR_GENICAM);
    if (status == PVX_OK)
        status = CheckLimits(node->name, value, node->floatMin, node->floatMax, PVX_ERR_GENICAM);
    if (status != PVX_OK)
        return status;
    if (node->link != Link::None) {
        NodeValue linked;
        linked.f = value;
        return WriteLinked(*node, linked);
    }
    m_nodes.Selected(*node).f = value;
    return PVX_OK;
}

PvxStatus Camera::GetFloatLimit(PvxHandle handle, bool maximum, double& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Float, Use::Inspect, node);
    if (status == PVX_OK)
        value = maximum ? node->floatMax : node->floatMin;
    return status;
}

PvxStatus Camera::GetFloatPrecision(PvxHandle handle, int64_t& precision) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Float, Use::Inspect, node);
    if (status == PVX_OK)
        precision = node->precision;
    return status;
}

PvxStatus Camera::GetBool(PvxHandle handle, bool& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Boolean, Use::Read, node);
    if (status == PVX_OK)
        value = m_nodes.Selected(*node).b;
    return status;
}

PvxStatus Camera::SetBool(PvxHandle handle, bool value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Boolean, Use::Write, node);
    if (status == PVX_OK)
        m_nodes.Selected(*node).b = value;
    return status;
}

PvxStatus Camera::GetString(PvxHandle handle, char* text, uint32_t capacity) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::String, Use::Read, node);
    if (status != PVX_OK)
        return status;
    return camlib::CopyText(node->link != Link::None ? ReadLinked(*node).s : m_nodes.Selected(*node).s, text,
                            capacity);
}

PvxStatus Camera::SetString(PvxHandle handle, const char* text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::String, Use::Write, node);
    if (status != PVX_OK)
        return status;
    NodeValue value;
    value.s = text;
    if (value.s.size() > kMaxNodeTextLength)
        return camlib::Fail(PVX_ERR_GENICAM, node->name + " holds at most " +
                                                 std::to_string(kMaxNodeTextLength) + " characters, not " +
                                                 std::to_string(value.s.size()));
    if (node->link != Link::None)
        return WriteLinked(*node, value);
    m_nodes.Selected(*node).s = std::move(value.s);
    return PVX_OK;
}

PvxStatus Camera::GetEnumText(PvxHandle handle, char* text, uint32_t capacity) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Enumeration, Use::Read, node);
    if (status != PVX_OK)
        return status;
    return camlib::CopyText(node->link != Link::None ? ReadLinked(*node).s : m_nodes.Selected(*node).s, text,
                            capacity);
}

PvxStatus Camera::SetEnumText(PvxHandle handle, const char* text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Enumeration, Use::Write, node);
    if (status != PVX_OK)
        return status;
    const auto entry = std::find_if(node->entries.begin(), node->entries.end(),
                                    [&](const EnumEntry& candidate) { return candidate.name == text; });
    if (entry == node->entries.end())
        return camlib::Fail(PVX_ERR_GENICAM, node->name + " has no entry \"" + text + "\"");
    if (!IsAvailable(entry->access))
        return camlib::Fail(PVX_ERR_GENICAM, "entry \"" + entry->name + "\" of " + node->name +
                                                 " is not available (access " + AccessName(entry->access) +
                                                 ")");
    NodeValue value;
    value.s = text;
    if (node->link != Link::None)
        return WriteLinked(*node, value);
    m_nodes.Selected(*node).s = std::move(value.s);
    return PVX_OK;
}

PvxStatus Camera::GetEnumEntryCount(PvxHandle handle, uint32_t& count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Enumeration, Use::Inspect, node);
    if (status == PVX_OK)
        count = static_cast<uint32_t>(node->entries.size());
    return status;
}

PvxStatus Camera::GetEnumEntry(PvxHandle handle, uint32_t index, PvxHandle& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Enumeration, Use::Inspect, node);
    if (status != PVX_OK)
        return status;
    if (index >= node->entries.size())
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, node->name + " has " +
                                                           std::to_string(node->entries.size()) +
                                                           " entries, no entry " + std::to_string(index));
    entry = node->entries[index].handle;
    return PVX_OK;
}

PvxStatus Camera::GetEnumEntryName(PvxHandle handle, char* text, uint32_t& size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const NodeMap::Target target = m_nodes.Resolve(handle);
    if (!target.node)
        return camlib::Fail(PVX_ERR_INVALID_NODE_HANDLE,
                            "handle " + HandleText(handle) + " is no node of this camera");
    if (!target.entry)
        return camlib::Fail(PVX_ERR_GENICAM, target.node->name + " is a node, not an enumeration entry");
    return camlib::CopyTextSized(target.entry->name, text, size);
}

PvxStatus Camera::ExecuteCommand(PvxHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Command, Use::Write, node);
    if (status != PVX_OK)
        return status;
    node->commandPending = true;
    node->polls = 0;
    if (node->link == Link::TriggerSoftware)
        TriggerSoftware();
    return PVX_OK;
}

PvxStatus Camera::IsCommandDone(PvxHandle handle, bool& done) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = nullptr;
    const PvxStatus status = Resolve(handle, NodeType::Command, Use::Inspect, node);
    if (status != PVX_OK)
        return status;
    if (node->commandPending) {
        ++node->polls;
        // doneAfterPolls 0: the command never reports completion.
        if (node->doneAfterPolls != 0 && node->polls >= node->doneAfterPolls)
            node->commandPending = false;
    }
    done = !node->commandPending;
    return PVX_OK;
}

void Camera::TriggerSoftware() {
    if (!m_triggered || !m_stream)
        return;
    const Node* source = m_nodes.Find("TriggerSource");
    if (source && source->type == NodeType::Enumeration && source->link == Link::None &&
        m_nodes.Selected(*source).s != "Software")
        return;
    double delay = 0.0;
    const Node* delayNode = m_nodes.Find("TriggerDelay");
    if (delayNode && delayNode->type == NodeType::Float && delayNode->link == Link::None)
        delay = std::max(0.0, m_nodes.Selected(*delayNode).f);
    m_stream->Trigger(std::chrono::microseconds(std::llround(delay)));
}

} // namespace sim
