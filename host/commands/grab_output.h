// Where grab writes: a folder (ch<N>_<image>.png inside) or a name pattern with one
// printf-style image number ("out/img_%04d.png") whose extension chooses the format,
// and how a delivered image becomes the samples a writer takes.
#ifndef AIKHOST_GRAB_OUTPUT_H
#define AIKHOST_GRAB_OUTPUT_H

#include "channel/video_channel.h"
#include "host/cli/image_writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

class GrabOutput {
public:
    // Throws HostFailure (Usage) for a pattern without exactly one %d, %0Nd or %Nd, or
    // whose extension no writer knows.
    GrabOutput(const std::string& target, bool prefixChannel);
    // Creates the folder and tries a file in it; throws HostFailure (OutputNotWritable)
    // with the system's reason.
    void prepare() const;
    std::string fileName(int64_t channel, int image) const;
    // Whether a file name (without its folder) is one this output could give an image,
    // of any channel and number.
    bool isOwnName(const std::string& name) const;
    // The files of the folder that have such a name (an earlier grab's), sorted.
    std::vector<std::string> existingFiles() const;
    const std::string& folder() const { return m_folder; }
    const ImageWriter& writer() const { return *m_writer; }

private:
    std::string m_folder;
    std::string m_pattern; // file name inside the folder; empty: ch<N>_%04d.png
    bool m_prefixChannel;
    const ImageWriter* m_writer = nullptr;
};

// Writes the delivered image: grey as it is, 10/12-bit grey as 16-bit samples with
// their significant bits noted, the planes as RGB; raw: a Bayer image as the camera's
// mosaic (8-bit grey) rebuilt from the planes. Empty on success, else why.
std::string writeImage(const ImageWriter& writer, const std::string& path, const ImageAttributes& attributes,
                       const std::vector<uint8_t>& image, std::optional<uint32_t> rawBayerFormat,
                       const WriteProgress& progress);

} // namespace aikhost

#endif
