// PNG behind the image-writer seam; the build links the one back-end it has.
#include "host/cli/png_file.h"

namespace aikhost {

namespace {

class PngWriter final : public ImageWriter {
public:
    const char* format() const override { return "PNG"; }
    std::string write(const std::string& path, const ImageSamples& samples,
                      const WriteProgress& progress) const override {
        return writePngFile(path, samples, progress);
    }
};

} // namespace

const ImageWriter& pngWriter() {
    static const PngWriter writer;
    return writer;
}

} // namespace aikhost
