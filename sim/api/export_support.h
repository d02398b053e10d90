// What the exports share beyond the base's guard: running a model call on the camera or
// stream a handle names.
#pragma once

#include "camlib/export_guard.h"
#include "sim/core/registry.h"

namespace sim {

template <typename Body> PvxStatus WithCamera(PvxHandle handle, Body body) {
    return camlib::Guarded([&] {
        std::shared_ptr<Camera> camera;
        const PvxStatus status = Registry::Instance().FindCamera(handle, camera);
        return status != PVX_OK ? status : body(*camera);
    });
}

template <typename Body> PvxStatus WithStream(PvxHandle handle, Body body) {
    return camlib::Guarded([&] {
        std::shared_ptr<Stream> stream;
        const PvxStatus status = Registry::Instance().FindStream(handle, stream);
        return status != PVX_OK ? status : body(*stream);
    });
}

} // namespace sim
