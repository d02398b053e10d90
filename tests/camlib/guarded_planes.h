// Three output planes between guard bands, for tests that a conversion writes exactly
// its planes; and random source images.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace simtest {

enum Colour { kRed = 0, kGreen = 1, kBlue = 2 };

// The three planes lie in one buffer, as a host hands them over, each followed by a
// guard band; every plane starts at the same offset within a 64-byte line, shift bytes
// after the first line boundary past the front guard.
class GuardedPlanes {
public:
    static constexpr std::size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    explicit GuardedPlanes(std::size_t pixels, std::size_t shift = 0)
        : m_pixels(pixels), m_stride((pixels + kGuard + 63) / 64 * 64),
          m_bytes(2 * kGuard + shift + 3 * m_stride, kGuardByte) {
        const auto address = reinterpret_cast<std::uintptr_t>(m_bytes.data());
        m_front = static_cast<std::size_t>(kGuard + (64 - address % 64) % 64 + shift);
    }
    uint8_t* Plane(int colour) { return m_bytes.data() + Start(colour); }
    uint8_t At(int colour, std::size_t pixel) const { return m_bytes[Start(colour) + pixel]; }
    bool GuardsIntact() const {
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            const bool inPlane =
                i >= m_front && (i - m_front) % m_stride < m_pixels && i < m_front + 3 * m_stride;
            if (!inPlane && m_bytes[i] != kGuardByte)
                return false;
        }
        return true;
    }
    // Whether the planes hold the same bytes as other's, wherever each lies.
    bool SamePlanesAs(const GuardedPlanes& other) const {
        for (int c = 0; c < 3; ++c) {
            const auto start = m_bytes.begin() + static_cast<std::ptrdiff_t>(Start(c));
            if (!std::equal(start, start + static_cast<std::ptrdiff_t>(m_pixels),
                            other.m_bytes.begin() + static_cast<std::ptrdiff_t>(other.Start(c))))
                return false;
        }
        return m_pixels == other.m_pixels;
    }

private:
    std::size_t Start(int colour) const { return m_front + static_cast<std::size_t>(colour) * m_stride; }

    std::size_t m_pixels;
    std::size_t m_stride;
    std::vector<uint8_t> m_bytes;
    std::size_t m_front = 0;
};

// bytes random samples drawn from values, or from 0..255 when values is empty.
inline std::vector<uint8_t> RandomImage(std::size_t bytes, uint32_t seed,
                                        const std::vector<uint8_t>& values = {}) {
    std::mt19937 random(seed);
    std::vector<uint8_t> image(bytes);
    for (uint8_t& sample : image)
        sample = values.empty() ? static_cast<uint8_t>(random()) : values[random() % values.size()];
    return image;
}

} // namespace simtest
