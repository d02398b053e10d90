// Picks the widest conversion kernel the processor runs, and checks what the kernels
// may assume: a format they convert and, for Bayer, at least 2 x 2 pixels.
#include "camlib/planes.h"

#include "camlib/pixel_format.h"
#include "camlib/planes_kernels.h"

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

PlaneKernels WidestKernels() {
    for (const PlanesKernel kernel : {PlanesKernel::Avx512, PlanesKernel::Avx2, PlanesKernel::Sse41}) {
        if (IsKernelUsable(kernel))
            return Resolved(kernel);
    }
    return kPortableKernels;
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
    static const PlaneKernels kernels = WidestKernels();
    return Convert(kernels, pixelFormat, {red, green, blue}, source, width, height);
}

PvxStatus ConvertImageToPlanesWith(PlanesKernel kernel, uint32_t pixelFormat, uint8_t* red, uint8_t* green,
                                   uint8_t* blue, const uint8_t* source, uint32_t width, uint32_t height) {
    return Convert(Resolved(kernel), pixelFormat, {red, green, blue}, source, width, height);
}

} // namespace camlib
