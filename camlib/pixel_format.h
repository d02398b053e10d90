// The pixel formats of the camera family: PFNC codes, names and sample layouts.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace camlib {

enum class SampleLayout { Mono, Bayer, Rgb, Bgr, Yuv422, Opaque };

struct PixelFormatInfo {
    uint32_t code;
    std::string_view name;
    SampleLayout layout;
    uint32_t significantBits; // of one sample
    uint32_t redX, redY;      // Bayer: where red sits in the 2 x 2 tile
    std::string_view coding;  // what the PixelCoding node shows
};

inline constexpr PixelFormatInfo kPixelFormats[] = {
    {PVX_PIXEL_MONO8, "Mono8", SampleLayout::Mono, 8, 0, 0, "Mono"},
    {PVX_PIXEL_MONO10, "Mono10", SampleLayout::Mono, 10, 0, 0, "Mono"},
    {PVX_PIXEL_MONO12, "Mono12", SampleLayout::Mono, 12, 0, 0, "Mono"},
    {PVX_PIXEL_MONO16, "Mono16", SampleLayout::Mono, 16, 0, 0, "Mono"},
    {PVX_PIXEL_BAYER_GR8, "BayerGR8", SampleLayout::Bayer, 8, 1, 0, "Raw"},
    {PVX_PIXEL_BAYER_RG8, "BayerRG8", SampleLayout::Bayer, 8, 0, 0, "Raw"},
    {PVX_PIXEL_BAYER_GB8, "BayerGB8", SampleLayout::Bayer, 8, 0, 1, "Raw"},
    {PVX_PIXEL_BAYER_BG8, "BayerBG8", SampleLayout::Bayer, 8, 1, 1, "Raw"},
    {PVX_PIXEL_RGB8, "RGB8", SampleLayout::Rgb, 8, 0, 0, "RGBPacked"},
    {PVX_PIXEL_BGR8, "BGR8", SampleLayout::Bgr, 8, 0, 0, "BGRPacked"},
    {PVX_PIXEL_YUV422_8, "YUV422_8", SampleLayout::Yuv422, 8, 0, 0, "YUV422Packed"},
};

// A code the family does not name is still delivered when its PFNC size field
// (bits 16 to 23) is a whole number of bytes; its bytes then carry grey levels.
inline constexpr PixelFormatInfo kOpaqueFormat = {0, "", SampleLayout::Opaque, 8, 0, 0, "Custom"};

constexpr uint32_t BitsPerPixel(uint32_t code) {
    return (code >> 16) & 0xFFu;
}
constexpr uint32_t BytesPerPixel(uint32_t code) {
    return BitsPerPixel(code) / 8;
}
constexpr bool IsDeliverableFormat(uint32_t code) {
    return BitsPerPixel(code) != 0 && BitsPerPixel(code) % 8 == 0;
}

constexpr const PixelFormatInfo& PixelFormatOf(uint32_t code) {
    for (const PixelFormatInfo& info : kPixelFormats) {
        if (info.code == code)
            return info;
    }
    return kOpaqueFormat;
}

inline std::string PixelFormatName(uint32_t code) {
    const PixelFormatInfo& info = PixelFormatOf(code);
    if (!info.name.empty())
        return std::string(info.name);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

// A PFNC name of the table, or a deliverable code written as "0x" and hexadecimal digits.
inline std::optional<uint32_t> PixelFormatFromName(std::string_view name) {
    for (const PixelFormatInfo& info : kPixelFormats) {
        if (info.name == name)
            return info.code;
    }
    if (name.size() < 3 || name.size() > 10 || name[0] != '0' || (name[1] != 'x' && name[1] != 'X'))
        return std::nullopt;
    const std::string digits(name.substr(2));
    char* end = nullptr;
    const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
    if (*end != '\0' || !IsDeliverableFormat(static_cast<uint32_t>(code)))
        return std::nullopt;
    return static_cast<uint32_t>(code);
}

} // namespace camlib
