// The gate every export passes first: it counts the call and answers it with an
// injected fault when a rule of the current description says so.
#pragma once

#include "camera/quorvex_api.h"
#include "sim/core/operations.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

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

// The status to return instead of running the call, when a fault says so.
std::optional<PvxStatus> EnterCall(Operation operation, const CallTarget& target);

uint64_t CallCount(Operation operation);
// Calls of all operations since the last reset, which also restarts this count.
uint64_t TotalCallCount();
// From then on, calls first to first + count - 1 of that count answer status (a
// transient fault, or with a huge count an unplugged camera); first 0 ends it.
void FailCalls(uint64_t first, uint64_t count, PvxStatus status);

// Call position of that count throws an exception of kind (PVX_SIM_THROW_*) out of
// the export, as a library that lets exceptions escape would; position 0 ends it.
void ThrowAtCall(uint64_t position, uint32_t kind);

// The next count images of any stream throw an exception of kind on the frame thread
// while they are made; count 0 ends it. EnterFrame is where they throw.
void ThrowInFrames(uint64_t count, uint32_t kind);
void EnterFrame();

// Every stream's frame thread then waits ms at each image's signal (EnterSignal), with
// the stream locked, as a slow library would; 0 ends it.
void HoldInSignal(uint32_t ms);
void EnterSignal();

// The scalar arguments of the latest call of an operation that records them (the
// reserved words and modes a camera never reports back), for tests.
void RecordArguments(Operation operation, std::initializer_list<uint64_t> arguments);
std::vector<uint64_t> LastArguments(Operation operation);
void ResetCallCounts();

} // namespace sim
