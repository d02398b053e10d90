// Fills image buffers with the test pattern quickly: rows are windows of a few
// precomputed periodic lines, so a frame costs about one memcpy, and the stamps one
// more pass over the rows just written.
#pragma once

#include "sim/pattern.h"

#include <cstdint>
#include <vector>

namespace sim {

class FrameRenderer {
public:
    // Cheap when geometry and pattern are those of the last call.
    void Prepare(const camlib::ImageGeometry& geometry, TestPattern pattern);
    // Writes the whole image number frame (width * height pixels) into out.
    void Render(uint32_t frame, uint8_t* out) const;

private:
    void RenderVaryingRow(uint32_t y, uint32_t rowPhase, uint8_t* row) const;
    void RenderConstantRow(uint32_t y, uint32_t rowPhase, uint8_t* row) const;

    bool m_prepared = false;
    camlib::ImageGeometry m_geometry{};
    TestPattern m_pattern = TestPattern::Off;
    uint32_t m_pixelBytes = 0;
    // For patterns that vary along x: [row parity][phase parity], width + 256 pixels,
    // pixel k having phase k, so that a row is the window starting at its phase.
    std::vector<uint8_t> m_lines[2][2];
};

} // namespace sim
