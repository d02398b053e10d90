// The build without libtiff (the Windows cross-build) reads no recordings: a
// description that names one is refused with the reason.
#include "sim/core/replay.h"

#include <stdexcept>

namespace sim {

struct Replay::State {};

Replay::Replay(const std::string& path, bool) {
    throw std::runtime_error(path + ": this build reads no recordings (it was built without libtiff)");
}

Replay::~Replay() = default;

uint32_t Replay::Width() const {
    return 0;
}

uint32_t Replay::Height() const {
    return 0;
}

uint32_t Replay::PixelFormat() const {
    return 0;
}

void Replay::Rewind() {}

std::optional<double> Replay::SecondsToNext() const {
    return std::nullopt;
}

bool Replay::Play(uint8_t*, uint64_t&) {
    return false;
}

} // namespace sim
