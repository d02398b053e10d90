// Conversion of one Bayer 8-bit, RGB8 or BGR8 image into three 8-bit planes.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>

namespace sim {

// 13 for a format it does not convert and for a Bayer image smaller than 2 x 2; it
// writes width * height bytes into each plane and nothing else.
PvxStatus ConvertImageToPlanes(uint32_t pixelFormat, uint8_t* red, uint8_t* green, uint8_t* blue,
                               const uint8_t* source, uint32_t width, uint32_t height);

} // namespace sim
