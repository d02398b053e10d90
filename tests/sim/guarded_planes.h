// Three output planes between guard bands, for tests that a conversion writes exactly
// its planes; and random source images.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace simtest {

enum Colour { kRed = 0, kGreen = 1, kBlue = 2 };

class GuardedPlanes {
public:
    static constexpr std::size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    explicit GuardedPlanes(std::size_t pixels) : m_pixels(pixels) {
        for (auto& plane : m_planes)
            plane.assign(m_pixels + 2 * kGuard, kGuardByte);
    }
    uint8_t* Plane(int colour) { return m_planes[static_cast<std::size_t>(colour)].data() + kGuard; }
    uint8_t At(int colour, std::size_t pixel) const {
        return m_planes[static_cast<std::size_t>(colour)][kGuard + pixel];
    }
    bool GuardsIntact() const {
        for (const auto& plane : m_planes) {
            for (std::size_t i = 0; i < kGuard; ++i) {
                if (plane[i] != kGuardByte || plane[kGuard + m_pixels + i] != kGuardByte)
                    return false;
            }
        }
        return true;
    }
    // The planes themselves, guards included, to compare two conversions whole.
    bool operator==(const GuardedPlanes& other) const { return m_planes == other.m_planes; }

private:
    std::size_t m_pixels;
    std::array<std::vector<uint8_t>, 3> m_planes;
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
