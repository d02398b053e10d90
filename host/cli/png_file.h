// Writing an image as a PNG file: libpng where the build has it (png_file.cpp), the
// library-free writer otherwise (png_stored.cpp).
#ifndef AIKHOST_PNG_FILE_H
#define AIKHOST_PNG_FILE_H

#include "host/cli/image_writer.h"

#include <string>

namespace aikhost {

// Writes the file; empty on success, else why it could not be written (the system's
// text). An existing file is replaced whole or left as it was.
std::string writePngFile(const std::string& path, const ImageSamples& image, const WriteProgress& progress);

} // namespace aikhost

#endif
