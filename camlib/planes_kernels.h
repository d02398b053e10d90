// The conversion kernels behind ConvertImageToPlanes: the portable one and, on x86-64,
// one per vector width, each in a file compiled for its own instruction set. Nothing
// here is defined inline: an inline function compiled for a wider instruction set
// could replace the portable copy at link time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace camlib {

struct BayerImage {
    const uint8_t* samples;
    uint32_t width, height; // both at least 2
    uint32_t redX, redY;    // where red sits in the 2 x 2 tile
};

struct PlanePointers {
    uint8_t* red;
    uint8_t* green;
    uint8_t* blue;
};

// One row of a Bayer image with the rows above and below, mirrored at the borders.
struct BayerRows {
    const uint8_t* up;
    const uint8_t* mid;
    const uint8_t* down;
};

// A row's output rows by role: the colour the row samples besides green (red or
// blue), green, and the colour it lacks. Naming them so makes red and blue rows one case.
struct RowPlanes {
    uint8_t* own;
    uint8_t* green;
    uint8_t* other;
};

// Up to kBandRows consecutive rows, converted together so that vector kernels
// compute each source row's means once for the three output rows that use them.
constexpr uint32_t kBandRows = 4;
struct Band {
    const uint8_t* source[kBandRows + 2]; // the rows from the one above the band to the one below, mirrored
    RowPlanes out[kBandRows];
    uint32_t ownColumn[kBandRows]; // parity of the columns that hold the row's own colour
    uint32_t rows;
};

struct PlaneKernels {
    void (*bayer)(const BayerImage& image, const PlanePointers& out);
    // Splits pixels interleaved triplets into three planes in the triplets' order; null
    // where a narrower kernel's does it as fast.
    void (*packed)(const uint8_t* source, std::size_t pixels, uint8_t* first, uint8_t* second,
                   uint8_t* third);
};

extern const PlaneKernels kPortableKernels;

// The band of rows from firstRow on.
Band BandAt(const BayerImage& image, const PlanePointers& out, uint32_t firstRow);

// Columns [begin, end) of one row, mirrored at the first and last column: the whole
// row of the portable kernel and the narrow rows of the vector ones.
void DemosaicSpan(const BayerRows& rows, uint32_t width, uint32_t begin, uint32_t end, uint32_t ownColumn,
                  const RowPlanes& out);

// The vector kernels; null when this build has none for that instruction set.
const PlaneKernels* Sse41Kernels();
const PlaneKernels* Avx2Kernels();
const PlaneKernels* Avx512Kernels();

} // namespace camlib
