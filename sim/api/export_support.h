// What the exports share: argument refusals, and running a model call on the camera
// or stream a handle names with every exception turned into a status.
#pragma once

#include "sim/core/last_error.h"
#include "sim/core/registry.h"

#include <new>
#include <string>

namespace sim {

inline PvxStatus NullArgument(const char* name) {
    return Fail(PVX_ERR_INVALID_PARAMETER, std::string(name) + " is null");
}

// No exception leaves the library: a host cannot catch across the C boundary.
template <typename Body> PvxStatus Guarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(kStatusNoMemory, "out of memory");
    } catch (const std::exception& error) {
        return Fail(PVX_ERR_UNSUCCESSFUL, error.what());
    }
}

template <typename Body> PvxStatus WithCamera(PvxHandle handle, Body body) {
    return Guarded([&] {
        std::shared_ptr<Camera> camera;
        const PvxStatus status = Registry::Instance().FindCamera(handle, camera);
        return status != PVX_OK ? status : body(*camera);
    });
}

template <typename Body> PvxStatus WithStream(PvxHandle handle, Body body) {
    return Guarded([&] {
        std::shared_ptr<Stream> stream;
        const PvxStatus status = Registry::Instance().FindStream(handle, stream);
        return status != PVX_OK ? status : body(*stream);
    });
}

} // namespace sim
