// Exports: nodes by name, their type, access and description, enumeration entries,
// commands.
#include "aravis/api/export_support.h"
#include "camlib/text_out.h"

using namespace arv_backend;

PVX_EXPORT PvxStatus PVX_CALL pvxGetNode(PvxHandle hCam, const char* pszName, PvxHandle* phNode) {
    if (!pszName || !phNode)
        return camlib::NullArgument(!pszName ? "pszName" : "phNode");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus { return camera.FindNode(pszName, *phNode); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeType(PvxHandle hCam, PvxHandle hNode, uint32_t* puiType) {
    if (!puiType)
        return camlib::NullArgument("puiType");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera&, int entry) -> PvxStatus {
            *puiType = entry < 0 ? PVX_NODE_ENUMERATION : PVX_NODE_ENUM_ENTRY;
            return PVX_OK;
        },
        [&](Camera&, const camlib::TallyNode&) -> PvxStatus {
            *puiType = PVX_NODE_INTEGER;
            return PVX_OK;
        },
        [&](Camera&, ArvGcNode* node) -> PvxStatus { return NodeType(node, *puiType); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeAccess(PvxHandle hCam, PvxHandle hNode, uint32_t* puiAccess) {
    if (!puiAccess)
        return camlib::NullArgument("puiAccess");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera& camera, int entry) -> PvxStatus {
            *puiAccess = entry < 0 && camera.StreamHandle() == 0 ? PVX_ACCESS_RW : PVX_ACCESS_RO;
            return PVX_OK;
        },
        [&](Camera&, const camlib::TallyNode&) -> PvxStatus {
            *puiAccess = PVX_ACCESS_RO;
            return PVX_OK;
        },
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            *puiAccess = NodeAccess(node);
            return PVX_OK;
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeDescription(PvxHandle hCam, PvxHandle hNode, char* pszText,
                                                    uint32_t* puiSize) {
    if (!pszText || !puiSize)
        return camlib::NullArgument(!pszText ? "pszText" : "puiSize");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera&, int entry) -> PvxStatus {
            return camlib::CopyTextSized(entry < 0 ? camlib::kBufferHandlingDescription : "", pszText,
                                         *puiSize);
        },
        [&](Camera&, const camlib::TallyNode& tally) -> PvxStatus {
            return camlib::CopyTextSized(tally.description, pszText, *puiSize);
        },
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            const char* text = ARV_IS_GC_FEATURE_NODE(node)
                                   ? arv_gc_feature_node_get_description(ARV_GC_FEATURE_NODE(node))
                                   : nullptr;
            return camlib::CopyTextSized(text ? text : "", pszText, *puiSize);
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryCount(PvxHandle hCam, PvxHandle hNode, uint32_t* puiCount) {
    if (!puiCount)
        return camlib::NullArgument("puiCount");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera&, int entry) -> PvxStatus {
            if (entry >= 0)
                return BufferHandlingRefuses(entry, "an enumeration");
            *puiCount = static_cast<uint32_t>(camlib::kBufferHandlingEntryCount);
            return PVX_OK;
        },
        RefuseTally,
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            if (!ARV_IS_GC_ENUMERATION(node))
                return WrongInterface(node, "an enumeration");
            *puiCount = static_cast<uint32_t>(EnumEntries(node).size());
            return PVX_OK;
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntry(PvxHandle hCam, PvxHandle hNode, uint32_t uiIndex,
                                              PvxHandle* phEntry) {
    if (!phEntry)
        return camlib::NullArgument("phEntry");
    const auto beyond = [&](const std::string& name, size_t count) {
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, name + " has " + std::to_string(count) +
                                                           " entries, not " + std::to_string(uiIndex + 1));
    };
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera&, int entry) -> PvxStatus {
            if (entry >= 0)
                return BufferHandlingRefuses(entry, "an enumeration");
            if (uiIndex >= camlib::kBufferHandlingEntryCount)
                return beyond(camlib::kBufferHandlingNode, camlib::kBufferHandlingEntryCount);
            *phEntry = Camera::BufferHandlingEntryHandle(uiIndex);
            return PVX_OK;
        },
        RefuseTally,
        [&](Camera& camera, ArvGcNode* node) -> PvxStatus {
            if (!ARV_IS_GC_ENUMERATION(node))
                return WrongInterface(node, "an enumeration");
            const std::vector<ArvGcNode*> entries = EnumEntries(node);
            if (uiIndex >= entries.size())
                return beyond(NodeName(node), entries.size());
            *phEntry = camera.Remember(entries[uiIndex]);
            return PVX_OK;
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryName(PvxHandle hCam, PvxHandle hEntry, char* pszName,
                                                  uint32_t* puiSize) {
    if (!pszName || !puiSize)
        return camlib::NullArgument(!pszName ? "pszName" : "puiSize");
    return WithLibraryNode(
        hCam, hEntry,
        [&](Camera&, int entry) -> PvxStatus {
            if (entry < 0)
                return BufferHandlingRefuses(entry, "an enumeration entry");
            return camlib::CopyTextSized(camlib::kBufferHandlingEntries[entry], pszName, *puiSize);
        },
        RefuseTally,
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            if (!ARV_IS_GC_ENUM_ENTRY(node))
                return WrongInterface(node, "an enumeration entry");
            return camlib::CopyTextSized(NodeName(node), pszName, *puiSize);
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxExecuteCommand(PvxHandle hCam, PvxHandle hNode, bool /*bVerify*/) {
    return WithNode(hCam, hNode, [&](Camera&, ArvGcNode* node) -> PvxStatus {
        if (!ARV_IS_GC_COMMAND(node))
            return WrongInterface(node, "a command");
        if (const PvxStatus status = CheckWritable(node))
            return status;
        GError* error = nullptr;
        arv_gc_command_execute(ARV_GC_COMMAND(node), &error);
        return FromError(error, NodeName(node));
    });
}

// Aravis has no completion query for commands: a command is done once its execution
// has returned.
PVX_EXPORT PvxStatus PVX_CALL pvxIsCommandDone(PvxHandle hCam, PvxHandle hNode, bool* pbDone,
                                               bool /*bVerify*/) {
    if (!pbDone)
        return camlib::NullArgument("pbDone");
    return WithNode(hCam, hNode, [&](Camera&, ArvGcNode* node) -> PvxStatus {
        if (!ARV_IS_GC_COMMAND(node))
            return WrongInterface(node, "a command");
        *pbDone = true;
        return PVX_OK;
    });
}
