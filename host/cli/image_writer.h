// Image files by format: one writer per format, chosen by the file name's extension.
#ifndef AIKHOST_IMAGE_WRITER_H
#define AIKHOST_IMAGE_WRITER_H

#include "host/cli/image_samples.h"

#include <functional>
#include <string>

namespace aikhost {

// Called with the fraction of the image written so far.
using WriteProgress = std::function<void(double)>;

class ImageWriter {
public:
    virtual ~ImageWriter() = default;
    // As the summary names the files: "PNG".
    virtual const char* format() const = 0;
    // Writes the file; empty on success, else why it could not be written (the
    // system's text). An existing file is replaced whole or left as it was.
    virtual std::string write(const std::string& path, const ImageSamples& samples,
                              const WriteProgress& progress) const = 0;
};

// The writer for a file name extension without its dot, in any case ("png");
// nothing for an extension no writer knows.
const ImageWriter* writerFor(const std::string& extension);
// The extensions writerFor knows, as a user reads them: ".png".
std::string knownExtensions();

} // namespace aikhost

#endif
