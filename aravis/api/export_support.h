// What the exports share: no exception leaves the library, and a camera or stream
// handle leads to its object under the registry's lock.
#pragma once

#include "aravis/core/last_error.h"
#include "aravis/core/node_access.h"
#include "aravis/core/registry.h"

#include <new>
#include <stdexcept>

namespace arv_backend {

template <typename Body> PvxStatus Guarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(15, "out of memory");
    } catch (const std::exception& error) {
        return Fail(PVX_ERR_UNSUCCESSFUL, error.what());
    }
}

template <typename Body> PvxStatus WithCamera(PvxHandle handle, Body body) {
    return Guarded([&] { return Registry::Instance().WithCamera(handle, body); });
}

// body(Camera&, ArvGcNode*) for a node handed out for that camera.
template <typename Body> PvxStatus WithNode(PvxHandle camera, PvxHandle node, Body body) {
    return WithCamera(camera, [&](Camera& open) {
        ArvGcNode* gcNode = nullptr;
        const PvxStatus status = open.NodeOf(node, gcNode);
        return status != PVX_OK ? status : body(open, gcNode);
    });
}

template <typename Body> PvxStatus WithStreamObject(PvxHandle handle, Body body) {
    return Guarded([&] {
        std::shared_ptr<Stream> stream;
        const PvxStatus status = Registry::Instance().FindStream(handle, stream);
        return status != PVX_OK ? status : body(*stream);
    });
}

} // namespace arv_backend
