// libspng encodes into its own buffer, which suits an HTTP answer better than a file
// writer. Levels above 8 bits are scaled to 16 by repeating their top bits, as PNG
// asks of an sBIT image, so that a viewer that ignores sBIT shows the full range and
// one that reads it gets the camera's levels back exactly.
#include "host/view/png_snapshot.h"

#include <spng.h>

#include <cstdlib>
#include <memory>

namespace aikhost {

namespace {

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// One row after another, each pixel's planes side by side: 8-bit bytes, or 16-bit
// words in the machine's order (libspng's SPNG_FMT_PNG).
template <class Sample>
std::vector<Sample> interleaved(const ImagePlanes& planes, unsigned shiftUp, unsigned shiftDown) {
    std::vector<Sample> samples(planes.pixels() * static_cast<std::size_t>(planes.count()));
    std::size_t next = 0;
    for (std::size_t pixel = 0; pixel < planes.pixels(); ++pixel) {
        for (int plane = 0; plane < planes.count(); ++plane) {
            const unsigned level = planes.sample(plane, pixel);
            samples[next++] = static_cast<Sample>(level << shiftUp | level >> shiftDown);
        }
    }
    return samples;
}

} // namespace

std::vector<uint8_t> pngSnapshot(const ImagePlanes& planes, uint32_t width, uint32_t height) {
    if (planes.count() == 0 || planes.pixels() != std::size_t{width} * height)
        return {};
    std::unique_ptr<spng_ctx, ContextFree> context(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!context)
        return {};
    const bool wide = planes.bits() > 8;
    spng_ihdr header{};
    header.width = width;
    header.height = height;
    header.bit_depth = wide ? 16 : 8;
    header.color_type = planes.count() == 3 ? SPNG_COLOR_TYPE_TRUECOLOR : SPNG_COLOR_TYPE_GRAYSCALE;
    spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(context.get(), SPNG_IMG_COMPRESSION_LEVEL, 1); // a snapshot is waited for
    int failed = spng_set_ihdr(context.get(), &header);
    std::vector<uint16_t> wideSamples;
    std::vector<uint8_t> samples;
    if (wide) {
        spng_sbit significant{};
        significant.grayscale_bits = static_cast<uint8_t>(planes.bits());
        failed = failed != 0 ? failed : spng_set_sbit(context.get(), &significant);
        const unsigned up = 16 - planes.bits();
        wideSamples = interleaved<uint16_t>(planes, up, planes.bits() - up);
    } else {
        samples = interleaved<uint8_t>(planes, 0, 8);
    }
    const void* data = wide ? static_cast<const void*>(wideSamples.data()) : samples.data();
    const std::size_t length = wide ? 2 * wideSamples.size() : samples.size();
    failed = failed != 0 ? failed
                         : spng_encode_image(context.get(), data, length, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (failed != 0)
        return {};
    std::size_t bytes = 0;
    std::unique_ptr<void, decltype(&std::free)> file(spng_get_png_buffer(context.get(), &bytes, &failed),
                                                     &std::free);
    if (!file || failed != 0)
        return {};
    const auto* start = static_cast<const uint8_t*>(file.get());
    return {start, start + bytes};
}

} // namespace aikhost
