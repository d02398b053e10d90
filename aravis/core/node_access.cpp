// Type and access of GenICam nodes, and the refusals shared by the typed operations.
#include "aravis/core/node_access.h"
#include "camlib/buffer_handling.h"
#include "camlib/last_error.h"

#include "aravis/core/last_error.h"

#include <algorithm>

namespace arv_backend {

PvxStatus NodeType(ArvGcNode* node, uint32_t& type) {
    // An enumeration also implements integer and string, a command nothing else: the
    // most specific interface is tested first.
    if (ARV_IS_GC_ENUMERATION(node))
        type = PVX_NODE_ENUMERATION;
    else if (ARV_IS_GC_COMMAND(node))
        type = PVX_NODE_COMMAND;
    else if (ARV_IS_GC_BOOLEAN(node))
        type = PVX_NODE_BOOLEAN;
    else if (ARV_IS_GC_CATEGORY(node))
        type = PVX_NODE_CATEGORY;
    else if (ARV_IS_GC_STRING(node))
        type = PVX_NODE_STRING;
    else if (ARV_IS_GC_INTEGER(node))
        type = PVX_NODE_INTEGER;
    else if (ARV_IS_GC_FLOAT(node))
        type = PVX_NODE_FLOAT;
    else if (ARV_IS_GC_REGISTER(node))
        type = PVX_NODE_REGISTER;
    else
        return camlib::Fail(PVX_ERR_NOT_IMPLEMENTED,
                            "node " + NodeName(node) + " has no GenApi interface type");
    return PVX_OK;
}

std::string NodeName(ArvGcNode* node) {
    if (ARV_IS_GC_FEATURE_NODE(node))
        return arv_gc_feature_node_get_name(ARV_GC_FEATURE_NODE(node));
    return "(unnamed)";
}

uint32_t NodeAccess(ArvGcNode* node) {
    if (!ARV_IS_GC_FEATURE_NODE(node))
        return PVX_ACCESS_NI;
    ArvGcFeatureNode* feature = ARV_GC_FEATURE_NODE(node);
    GError* error = nullptr;
    const bool implemented = arv_gc_feature_node_is_implemented(feature, &error);
    if (error || !implemented) {
        g_clear_error(&error);
        return PVX_ACCESS_NI;
    }
    const bool available = arv_gc_feature_node_is_available(feature, &error);
    if (error || !available) {
        g_clear_error(&error);
        return PVX_ACCESS_NA;
    }
    const ArvGcAccessMode mode = arv_gc_feature_node_get_actual_access_mode(feature);
    const bool locked = arv_gc_feature_node_is_locked(feature, &error);
    g_clear_error(&error);
    switch (mode) {
    case ARV_GC_ACCESS_MODE_RO:
        return PVX_ACCESS_RO;
    case ARV_GC_ACCESS_MODE_WO:
        return PVX_ACCESS_WO;
    case ARV_GC_ACCESS_MODE_RW:
        return locked ? PVX_ACCESS_RO : PVX_ACCESS_RW;
    default:
        return PVX_ACCESS_NA;
    }
}

PvxStatus CheckReadable(ArvGcNode* node) {
    const uint32_t access = NodeAccess(node);
    if (access == PVX_ACCESS_NI || access == PVX_ACCESS_NA)
        return camlib::Fail(PVX_ERR_NOT_AVAILABLE, "node " + NodeName(node) + " is not available");
    if (access == PVX_ACCESS_WO)
        return camlib::Fail(PVX_ERR_NOT_READABLE, "node " + NodeName(node) + " is write-only");
    return PVX_OK;
}

PvxStatus CheckWritable(ArvGcNode* node) {
    const uint32_t access = NodeAccess(node);
    if (access == PVX_ACCESS_NI || access == PVX_ACCESS_NA)
        return camlib::Fail(PVX_ERR_NOT_AVAILABLE, "node " + NodeName(node) + " is not available");
    if (access == PVX_ACCESS_RO)
        return camlib::Fail(PVX_ERR_NOT_WRITABLE, "node " + NodeName(node) + " is read-only or locked");
    return PVX_OK;
}

PvxStatus CheckRange(ArvGcNode* node, double value, double min, double max) {
    if (value < min)
        return camlib::Fail(PVX_ERR_GENICAM, NodeName(node) + ": " + camlib::FormatNumber(value) +
                                                 " is below the minimum " + camlib::FormatNumber(min) +
                                                 "; a greater value is needed");
    if (value > max)
        return camlib::Fail(PVX_ERR_GENICAM, NodeName(node) + ": " + camlib::FormatNumber(value) +
                                                 " is above the maximum " + camlib::FormatNumber(max) +
                                                 "; a smaller value is needed");
    return PVX_OK;
}

std::vector<ArvGcNode*> EnumEntries(ArvGcNode* enumeration) {
    std::vector<ArvGcNode*> entries;
    for (const GSList* item = arv_gc_enumeration_get_entries(ARV_GC_ENUMERATION(enumeration)); item;
         item = item->next)
        entries.push_back(static_cast<ArvGcNode*>(item->data));
    std::reverse(entries.begin(), entries.end());
    return entries;
}

PvxStatus WrongInterface(ArvGcNode* node, const char* interfaceName) {
    return camlib::Fail(PVX_ERR_GENICAM, "node " + NodeName(node) + " is not " + interfaceName);
}

PvxStatus TallyRefuses(const camlib::TallyNode& node, PvxStatus status, const char* why) {
    return camlib::Fail(status,
                        std::string("node ") + node.name + " is a read-only integer of the stream, " + why);
}

PvxStatus BufferHandlingRefuses(int entry, const char* interfaceName) {
    const std::string node = entry < 0 ? std::string("node ") + camlib::kBufferHandlingNode
                                       : std::string("entry ") + camlib::kBufferHandlingEntries[entry] +
                                             " of " + camlib::kBufferHandlingNode;
    return camlib::Fail(PVX_ERR_GENICAM, node + " is not " + interfaceName);
}

} // namespace arv_backend
