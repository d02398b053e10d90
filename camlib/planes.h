// Conversion of one Bayer 8-bit, RGB8 or BGR8 image into three 8-bit planes.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>

namespace camlib {

// PVX_ERR_INVALID_PARAMETER for a format it does not convert and for a Bayer image smaller than 2 x 2; it
// writes width * height bytes into each plane and nothing else. The planes overlap
// neither each other nor the source. Runs, for each kind of conversion, the kernel that
// was fastest on this processor when the first conversion timed them all (a few ms).
PvxStatus ConvertImageToPlanes(uint32_t pixelFormat, uint8_t* red, uint8_t* green, uint8_t* blue,
                               const uint8_t* source, uint32_t width, uint32_t height);

// The kernels behind it, narrowest first (Avx512: AVX-512BW); every one gives the same bytes.
enum class PlanesKernel { Portable, Sse41, Avx2, Avx512 };

// Whether this build has the kernel and this processor can run it.
bool IsKernelUsable(PlanesKernel kernel);

// ConvertImageToPlanes with a chosen kernel, which must be usable: for tests and benchmarks.
PvxStatus ConvertImageToPlanesWith(PlanesKernel kernel, uint32_t pixelFormat, uint8_t* red, uint8_t* green,
                                   uint8_t* blue, const uint8_t* source, uint32_t width, uint32_t height);

} // namespace camlib
