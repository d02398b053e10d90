// A PNG file with no library, for the build that has none (Windows): the pixels go
// into the file's zlib stream as stored (uncompressed) blocks, which every reader accepts.
#ifndef AIKHOST_PNG_STORED_H
#define AIKHOST_PNG_STORED_H

#include "host/cli/png_file.h"

#include <vector>

namespace aikhost {

// The whole file's bytes.
std::vector<uint8_t> encodePng(const ImageSamples& image);

} // namespace aikhost

#endif
