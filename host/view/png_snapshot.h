// The live image as a PNG file in memory, for the page's snapshot: the whole image at
// the depth the camera delivered it (Mono10 and Mono12 as 16-bit grey with their
// significant bits noted, colour as 8-bit RGB).
#ifndef AIKHOST_PNG_SNAPSHOT_H
#define AIKHOST_PNG_SNAPSHOT_H

#include "host/view/image_planes.h"

#include <cstdint>
#include <vector>

namespace aikhost {

// Empty when there is nothing to encode or the encoder fails.
std::vector<uint8_t> pngSnapshot(const ImagePlanes& planes, uint32_t width, uint32_t height);

} // namespace aikhost

#endif
