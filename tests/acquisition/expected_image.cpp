// Expected deliveries, rendered from the simulator's pattern; colour goes through the
// utility library's own conversion, so only the module's plane order and placement
// are under test.
#include "tests/acquisition/expected_image.h"

#include "camera/quorvex_api.h"

#include <gtest/gtest.h>

namespace aiktest {

namespace {

bool deliveredAsPlanes(uint32_t pixelFormat) {
    const camlib::SampleLayout layout = camlib::PixelFormatOf(pixelFormat).layout;
    return layout == camlib::SampleLayout::Bayer || layout == camlib::SampleLayout::Rgb ||
           layout == camlib::SampleLayout::Bgr;
}

std::vector<uint8_t> renderRaw(const camlib::ImageGeometry& geometry, uint32_t frame,
                               sim::TestPattern pattern) {
    std::vector<uint8_t> raw(std::size_t{geometry.width} * geometry.height *
                             camlib::BytesPerPixel(geometry.pixelFormat));
    uint8_t* out = raw.data();
    for (uint32_t y = 0; y < geometry.height; ++y) {
        for (uint32_t x = 0; x < geometry.width; ++x)
            out += sim::ExpectedPixel(geometry, pattern, frame, x, y, out);
    }
    return raw;
}

} // namespace

camlib::ImageGeometry windowOf(const ImageAttributes& attributes, uint32_t pixelFormat) {
    return {pixelFormat, static_cast<uint32_t>(attributes.width), static_cast<uint32_t>(attributes.height),
            static_cast<uint32_t>(attributes.offsetx - attributes.roix),
            static_cast<uint32_t>(attributes.offsety - attributes.roiy)};
}

std::size_t deliveredBytes(const camlib::ImageGeometry& geometry) {
    const std::size_t pixels = std::size_t{geometry.width} * geometry.height;
    return deliveredAsPlanes(geometry.pixelFormat) ? 3 * pixels
                                                   : pixels * camlib::BytesPerPixel(geometry.pixelFormat);
}

std::vector<uint8_t> expectedDelivery(const camlib::ImageGeometry& geometry, uint32_t frame,
                                      sim::TestPattern pattern) {
    std::vector<uint8_t> raw = renderRaw(geometry, frame, pattern);
    if (!deliveredAsPlanes(geometry.pixelFormat))
        return raw;
    const std::size_t plane = std::size_t{geometry.width} * geometry.height;
    std::vector<uint8_t> planes(3 * plane);
    EXPECT_EQ(pvxConvertToPlanes(geometry.pixelFormat, planes.data() + 2 * plane, planes.data() + plane,
                                 planes.data(), raw.data(), geometry.width, geometry.height),
              0u);
    return planes;
}

std::optional<uint32_t> stampedFrameNumber(const camlib::ImageGeometry& geometry, const uint8_t* buffer) {
    const uint32_t code = geometry.pixelFormat;
    std::vector<uint8_t> stored;
    if (deliveredAsPlanes(code)) {
        const std::size_t plane = std::size_t{geometry.width} * geometry.height;
        stored.resize(plane * camlib::BytesPerPixel(code));
        camlib::StoredFromPlanes(code, buffer + 2 * plane, buffer + plane, buffer, geometry.width,
                                 geometry.height, stored.data());
        buffer = stored.data();
    }
    const camlib::StampCheck check = camlib::CheckStamps(code, buffer, geometry.width, geometry.height);
    if (check.pairs == 0 || check.corrupt != 0 || check.torn != 0)
        return std::nullopt;
    return check.frame;
}

} // namespace aiktest
