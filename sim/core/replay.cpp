// Pages of colour planes become the camera's stored layout again (a Bayer mosaic
// from each sample's own plane, RGB8 interleaved), so the module converts them as it
// converted the recorded images and a host receives those images again.
#include "sim/core/replay.h"

#include "camlib/pixel_encoding.h"
#include "recording/recording_reader.h"

#include <stdexcept>
#include <vector>

namespace sim {

struct Replay::State {
    std::unique_ptr<recording::RecordingReader> reader;
    uint32_t pixelFormat = 0;
    bool loop = false;
    std::size_t next = 0;   // the page played next
    uint64_t passes = 0;    // completed loops
    uint64_t frameSpan = 0; // frame numbers one pass covers
    std::vector<uint8_t> planes;
};

Replay::Replay(const std::string& path, bool loop) : m_state(std::make_unique<State>()) {
    State& state = *m_state;
    try {
        state.reader = std::make_unique<recording::RecordingReader>(path);
    } catch (const recording::RecordingError& error) {
        throw std::runtime_error(error.what());
    }
    const recording::PageFormat& format = state.reader->Format();
    const auto code = camlib::PixelFormatFromName(format.pixelFormat);
    if (!code)
        throw std::runtime_error(path + ": the recorded pixel format " + format.pixelFormat +
                                 " is not one the simulated cameras deliver");
    const std::size_t stored = std::size_t{format.width} * format.height * camlib::BytesPerPixel(*code);
    const bool fromPlanes = format.planes && camlib::BytesPerPixel(*code) <= 3 &&
                            (camlib::PixelFormatOf(*code).layout == camlib::SampleLayout::Bayer ||
                             camlib::PixelFormatOf(*code).layout == camlib::SampleLayout::Rgb ||
                             camlib::PixelFormatOf(*code).layout == camlib::SampleLayout::Bgr);
    if (!fromPlanes && (format.planes || format.ImageBytes() != stored))
        throw std::runtime_error(path + ": its pages (" + std::to_string(format.ImageBytes()) +
                                 " bytes) do not hold " + format.pixelFormat + " images of " +
                                 std::to_string(format.width) + "x" + std::to_string(format.height));
    if (fromPlanes)
        state.planes.resize(format.ImageBytes());
    state.pixelFormat = *code;
    state.loop = loop;
    const auto& first = state.reader->Meta(0).frame;
    const auto& last = state.reader->Meta(state.reader->Pages() - 1).frame;
    state.frameSpan = first && last && *last >= *first ? *last - *first + 1 : state.reader->Pages();
}

Replay::~Replay() = default;

uint32_t Replay::Width() const {
    return m_state->reader->Format().width;
}

uint32_t Replay::Height() const {
    return m_state->reader->Format().height;
}

uint32_t Replay::PixelFormat() const {
    return m_state->pixelFormat;
}

void Replay::Rewind() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state->next = 0;
    m_state->passes = 0;
}

std::optional<double> Replay::SecondsToNext() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const State& state = *m_state;
    if (state.next == 0 || state.next >= state.reader->Pages())
        return std::nullopt;
    const int64_t gap =
        state.reader->Meta(state.next).hostTimeNs - state.reader->Meta(state.next - 1).hostTimeNs;
    return gap > 0 ? std::optional<double>(static_cast<double>(gap) * 1e-9) : std::nullopt;
}

bool Replay::Play(uint8_t* out, uint64_t& frame) {
    std::lock_guard<std::mutex> lock(m_mutex);
    State& state = *m_state;
    if (state.next >= state.reader->Pages()) {
        if (!state.loop)
            return false;
        state.next = 0;
        ++state.passes;
    }
    const std::size_t page = state.next++;
    const recording::PageFormat& format = state.reader->Format();
    try {
        if (state.planes.empty()) {
            state.reader->Read(page, out);
        } else {
            state.reader->Read(page, state.planes.data());
            const uint8_t* blue = state.planes.data();
            const std::size_t plane = format.PlaneBytes();
            camlib::StoredFromPlanes(state.pixelFormat, blue + 2 * plane, blue + plane, blue, format.width,
                                     format.height, out);
        }
    } catch (const recording::RecordingError&) {
        return false;
    }
    const auto& recorded = state.reader->Meta(page).frame;
    frame = (recorded ? *recorded : page + 1) + state.passes * state.frameSpan;
    return true;
}

} // namespace sim
