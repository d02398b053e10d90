// What the host's buffer must hold after GetImage: the simulator's test pattern for a
// frame, laid out as the module delivers it (monochrome as it comes, colour as the
// planes blue, green, red).
#ifndef AIKTEST_EXPECTED_IMAGE_H
#define AIKTEST_EXPECTED_IMAGE_H

#include "channel/video_channel.h"
#include "sim/pattern.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace aiktest {

// The camera's window as GetImageAttributes describes it, in the camera's format.
camlib::ImageGeometry windowOf(const ImageAttributes& attributes, uint32_t pixelFormat);

// Bytes GetImage writes for the window: 3 * w * h for colour, the image's bytes otherwise.
std::size_t deliveredBytes(const camlib::ImageGeometry& geometry);

// The host's buffer for image number frame of the pattern.
std::vector<uint8_t> expectedDelivery(const camlib::ImageGeometry& geometry, uint32_t frame,
                                      sim::TestPattern pattern = sim::TestPattern::Off);

// The frame number the row-pair stamps of a delivered buffer carry, in any format the
// module delivers; none when a stamp is missing, fails its checksum or names another
// frame (a torn image).
std::optional<uint32_t> stampedFrameNumber(const camlib::ImageGeometry& geometry, const uint8_t* buffer);

} // namespace aiktest

#endif
