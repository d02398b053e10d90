// What the exports share beyond the base's guard: a camera or node handle leads to its
// object under the registry's lock, a stream handle to its stream.
#pragma once

#include "aravis/core/last_error.h"
#include "aravis/core/node_access.h"
#include "aravis/core/registry.h"
#include "camlib/export_guard.h"

namespace arv_backend {

template <typename Body> PvxStatus WithCamera(PvxHandle handle, Body body) {
    return camlib::Guarded([&] { return Registry::Instance().WithCamera(handle, body); });
}

// tallyBody(Camera&, const camlib::TallyNode&) for one of the library's stream nodes,
// body(Camera&, ArvGcNode*) for a GenICam node handed out for that camera.
template <typename TallyBody, typename Body>
PvxStatus AnyNodeOf(Camera& open, PvxHandle node, TallyBody tallyBody, Body body) {
    if (const camlib::TallyNode* tally = open.TallyNodeOf(node))
        return tallyBody(open, *tally);
    ArvGcNode* gcNode = nullptr;
    const PvxStatus status = open.NodeOf(node, gcNode);
    return status != PVX_OK ? status : body(open, gcNode);
}

template <typename TallyBody, typename Body>
PvxStatus WithAnyNode(PvxHandle camera, PvxHandle node, TallyBody tallyBody, Body body) {
    return WithCamera(camera,
                      [&](Camera& open) -> PvxStatus { return AnyNodeOf(open, node, tallyBody, body); });
}

// handlingBody(Camera&, int entry) for the library's StreamBufferHandlingMode node
// (entry -1) or one of its entries; otherwise as WithAnyNode.
template <typename HandlingBody, typename TallyBody, typename Body>
PvxStatus WithLibraryNode(PvxHandle camera, PvxHandle node, HandlingBody handlingBody, TallyBody tallyBody,
                          Body body) {
    return WithCamera(camera, [&](Camera& open) -> PvxStatus {
        if (const std::optional<int> entry = open.BufferHandlingOf(node))
            return handlingBody(open, *entry);
        return AnyNodeOf(open, node, tallyBody, body);
    });
}

inline PvxStatus RefuseTally(Camera&, const camlib::TallyNode& tally) {
    return TallyRefuses(tally, PVX_ERR_GENICAM, "not of that interface");
}

// body(Camera&, ArvGcNode*) for a GenICam node handed out for that camera.
template <typename Body> PvxStatus WithNode(PvxHandle camera, PvxHandle node, Body body) {
    return WithAnyNode(camera, node, RefuseTally, body);
}

template <typename Body> PvxStatus WithStream(PvxHandle handle, Body body) {
    return camlib::Guarded([&] {
        std::shared_ptr<Stream> stream;
        const PvxStatus status = Registry::Instance().FindStream(handle, stream);
        return status != PVX_OK ? status : body(*stream);
    });
}

} // namespace arv_backend
