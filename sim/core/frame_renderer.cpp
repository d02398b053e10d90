// The fast fill of simulated images, equal byte for byte to sim/pattern.h's reference.
#include "sim/core/frame_renderer.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {
constexpr uint32_t kPhasePeriod = 256;
}

void FrameRenderer::Prepare(const camlib::ImageGeometry& geometry, TestPattern pattern) {
    const bool sameLines = m_prepared && m_pattern == pattern &&
                           m_geometry.pixelFormat == geometry.pixelFormat &&
                           m_geometry.width == geometry.width;
    m_geometry = geometry;
    m_pattern = pattern;
    m_pixelBytes = camlib::BytesPerPixel(geometry.pixelFormat);
    m_prepared = true;
    if (sameLines || MotionOf(pattern).ax == 0)
        return;
    const uint32_t length = geometry.width + kPhasePeriod;
    for (uint32_t rowParity = 0; rowParity < 2; ++rowParity) {
        for (uint32_t phaseParity = 0; phaseParity < 2; ++phaseParity) {
            std::vector<uint8_t>& line = m_lines[rowParity][phaseParity];
            line.resize(static_cast<size_t>(length) * m_pixelBytes);
            for (uint32_t k = 0; k < length; ++k) {
                // A row starting at phase p copies from pixel p, so pixel k sits at
                // image column k - p, whose parity is that of k - phaseParity.
                camlib::EncodePixel(geometry.pixelFormat, k - phaseParity, rowParity, GreyAtPhase(pattern, k),
                                    ColourAtPhase(pattern, k), &line[static_cast<size_t>(k) * m_pixelBytes]);
            }
        }
    }
}

void FrameRenderer::RenderVaryingRow(uint32_t y, uint32_t rowPhase, uint8_t* row) const {
    const uint32_t start = rowPhase % kPhasePeriod;
    const std::vector<uint8_t>& line = m_lines[y & 1][rowPhase & 1];
    std::memcpy(row, &line[static_cast<size_t>(start) * m_pixelBytes],
                static_cast<size_t>(m_geometry.width) * m_pixelBytes);
}

void FrameRenderer::RenderConstantRow(uint32_t y, uint32_t rowPhase, uint8_t* row) const {
    const uint8_t grey = GreyAtPhase(m_pattern, rowPhase);
    const camlib::Rgb colour = ColourAtPhase(m_pattern, rowPhase);
    const size_t rowBytes = static_cast<size_t>(m_geometry.width) * m_pixelBytes;
    size_t done = 0;
    for (uint32_t x = 0; x < std::min<uint32_t>(2, m_geometry.width); ++x)
        done += camlib::EncodePixel(m_geometry.pixelFormat, x, y, grey, colour, row + done);
    // The row repeats with a period of two pixels: double the written part.
    while (done < rowBytes) {
        const size_t chunk = std::min(done, rowBytes - done);
        std::memcpy(row + done, row, chunk);
        done += chunk;
    }
}

void FrameRenderer::Render(uint32_t frame, uint8_t* out) const {
    const PatternMotion motion = MotionOf(m_pattern);
    const size_t rowBytes = static_cast<size_t>(m_geometry.width) * m_pixelBytes;
    for (uint32_t y = 0; y < m_geometry.height; ++y) {
        const uint32_t rowPhase = PatternPhase(m_pattern, m_geometry.offsetX, m_geometry.offsetY + y, frame);
        uint8_t* row = out + rowBytes * y;
        if (motion.ax != 0)
            RenderVaryingRow(y, rowPhase, row);
        else
            RenderConstantRow(y, rowPhase, row);
    }
    if (m_geometry.height == 0)
        return;
    for (uint32_t k = 0; k < std::min(camlib::kFrameHeaderPixels, m_geometry.width); ++k) {
        const uint8_t level = camlib::FrameHeaderByte(frame, k);
        camlib::EncodePixel(m_geometry.pixelFormat, k, 0, level, {level, level, level},
                            out + k * m_pixelBytes);
    }
    if (!camlib::InStamp(m_geometry, camlib::kStampColumn, 0))
        return;
    for (uint32_t y = 0; y + 1 < m_geometry.height; y += 2)
        camlib::StampRowPair(m_geometry.pixelFormat, m_geometry.width, y, frame, out + rowBytes * y,
                             out + rowBytes * (y + 1));
}

} // namespace sim
