// What a call concerns, so that camera-bound and node-bound faults find it: the gate
// hands it to the registry, which knows the cameras behind handles.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>

namespace sim {

// What a call concerns, so that camera-bound and node-bound faults find it.
struct CallTarget {
    enum class Kind { Library, CameraIndex, Camera, Node, NodeName, Stream, Image };
    Kind kind = Kind::Library;
    uint64_t handle = 0; // camera index, camera handle or stream handle
    PvxHandle node = 0;
    const char* nodeName = nullptr;
    const void* image = nullptr;
};

inline CallTarget OnLibrary() {
    return {};
}
inline CallTarget OnCameraIndex(uint32_t index) {
    return {CallTarget::Kind::CameraIndex, index, 0, nullptr, nullptr};
}
inline CallTarget OnCamera(PvxHandle camera) {
    return {CallTarget::Kind::Camera, camera, 0, nullptr, nullptr};
}
inline CallTarget OnNode(PvxHandle camera, PvxHandle node) {
    return {CallTarget::Kind::Node, camera, node, nullptr, nullptr};
}
inline CallTarget OnNodeName(PvxHandle camera, const char* name) {
    return {CallTarget::Kind::NodeName, camera, 0, name, nullptr};
}
inline CallTarget OnStream(PvxHandle stream) {
    return {CallTarget::Kind::Stream, stream, 0, nullptr, nullptr};
}
// Image data: the camera whose stream buffer holds it, if any.
inline CallTarget OnImage(const void* image) {
    return {CallTarget::Kind::Image, 0, 0, nullptr, image};
}

} // namespace sim
