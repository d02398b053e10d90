// Picks the fastest conversion kernel the processor runs by timing each once, and
// checks what the kernels may assume: a format they convert and, for Bayer, at least
// 2 x 2 pixels.
#include "camlib/planes.h"

#include "camlib/pixel_format.h"
#include "camlib/planes_kernels.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

namespace camlib {

namespace {

// Whether the processor (and the operating system, for the wider registers) runs it.
bool ProcessorRuns(PlanesKernel kernel) {
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
    __builtin_cpu_init();
    switch (kernel) {
    case PlanesKernel::Portable:
        return true;
    case PlanesKernel::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case PlanesKernel::Avx2:
        return __builtin_cpu_supports("avx2");
    case PlanesKernel::Avx512:
        return __builtin_cpu_supports("avx512bw");
    }
    return false;
#else
    return kernel == PlanesKernel::Portable;
#endif
}

const PlaneKernels* BuiltKernels(PlanesKernel kernel) {
    switch (kernel) {
    case PlanesKernel::Portable:
        return &kPortableKernels;
    case PlanesKernel::Sse41:
        return Sse41Kernels();
    case PlanesKernel::Avx2:
        return Avx2Kernels();
    case PlanesKernel::Avx512:
        return Avx512Kernels();
    }
    return nullptr;
}

// The kernel's conversions, with the next narrower usable kernel's where it has none.
PlaneKernels Resolved(PlanesKernel kernel) {
    PlaneKernels resolved = *BuiltKernels(kernel);
    for (int narrower = static_cast<int>(kernel) - 1; !resolved.packed; --narrower) {
        const auto candidate = static_cast<PlanesKernel>(narrower);
        if (IsKernelUsable(candidate))
            resolved.packed = BuiltKernels(candidate)->packed;
    }
    return resolved;
}

template <class Run> double SecondsOf(const Run& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The widest kernel is not always the fastest: a processor may lower its clock for
// 512-bit work, and memory bounds them all alike. So each conversion takes the kernel
// that was fastest here, each timed on a band of a typical image in interleaved rounds
// (the best of them, so that a busy moment counts against none), a few milliseconds once.
PlaneKernels FastestKernels() {
    constexpr uint32_t kWidth = 1280, kHeight = 64, kRounds = 5;
    constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;
    std::vector<uint8_t> source(3 * kPixels), planes(3 * kPixels);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
    const PlanePointers out{planes.data(), planes.data() + kPixels, planes.data() + 2 * kPixels};
    std::vector<PlaneKernels> candidates;
    for (const PlanesKernel kernel :
         {PlanesKernel::Portable, PlanesKernel::Sse41, PlanesKernel::Avx2, PlanesKernel::Avx512})
        if (IsKernelUsable(kernel))
            candidates.push_back(Resolved(kernel));
    std::vector<double> bayer(candidates.size(), std::numeric_limits<double>::max()), packed(bayer);
    // Round 0 warms the caches and is not counted.
    for (uint32_t round = 0; round <= kRounds; ++round) {
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            const PlaneKernels& kernels = candidates[k];
            const double bayerSeconds = SecondsOf([&] {
                kernels.bayer({source.data(), kWidth, kHeight, 0, 0}, out);
            });
            const double packedSeconds =
                SecondsOf([&] { kernels.packed(source.data(), kPixels, out.red, out.green, out.blue); });
            if (round > 0) {
                bayer[k] = std::min(bayer[k], bayerSeconds);
                packed[k] = std::min(packed[k], packedSeconds);
            }
        }
    }
    const auto bestBayer = std::min_element(bayer.begin(), bayer.end()) - bayer.begin();
    const auto bestPacked = std::min_element(packed.begin(), packed.end()) - packed.begin();
    PlaneKernels fastest = candidates[static_cast<std::size_t>(bestBayer)];
    fastest.packed = candidates[static_cast<std::size_t>(bestPacked)].packed;
    return fastest;
}

PvxStatus Convert(const PlaneKernels& kernels, uint32_t pixelFormat, const PlanePointers& out,
                  const uint8_t* source, uint32_t width, uint32_t height) {
    const PixelFormatInfo& format = PixelFormatOf(pixelFormat);
    switch (format.layout) {
    case SampleLayout::Bayer:
        if (width < 2 || height < 2)
            return PVX_ERR_INVALID_PARAMETER;
        kernels.bayer({source, width, height, format.redX, format.redY}, out);
        return PVX_OK;
    case SampleLayout::Rgb:
        kernels.packed(source, std::size_t{width} * height, out.red, out.green, out.blue);
        return PVX_OK;
    case SampleLayout::Bgr:
        kernels.packed(source, std::size_t{width} * height, out.blue, out.green, out.red);
        return PVX_OK;
    default:
        return PVX_ERR_INVALID_PARAMETER;
    }
}

} // namespace

bool IsKernelUsable(PlanesKernel kernel) {
    return BuiltKernels(kernel) != nullptr && ProcessorRuns(kernel);
}

PvxStatus ConvertImageToPlanes(uint32_t pixelFormat, uint8_t* red, uint8_t* green, uint8_t* blue,
                               const uint8_t* source, uint32_t width, uint32_t height) {
    static const PlaneKernels kernels = FastestKernels();
    return Convert(kernels, pixelFormat, {red, green, blue}, source, width, height);
}

PvxStatus ConvertImageToPlanesWith(PlanesKernel kernel, uint32_t pixelFormat, uint8_t* red, uint8_t* green,
                                   uint8_t* blue, const uint8_t* source, uint32_t width, uint32_t height) {
    return Convert(Resolved(kernel), pixelFormat, {red, green, blue}, source, width, height);
}

} // namespace camlib
