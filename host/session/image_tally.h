// What a stream produced, delivered and lost: from the camera library's own counts
// when it offers them, else from the frame numbers the delivered images carry. Images
// without a readable frame number and a library without counts leave the produced
// and lost counts unknown rather than guessed.
#ifndef AIKHOST_IMAGE_TALLY_H
#define AIKHOST_IMAGE_TALLY_H

#include "channel/video_channel.h"
#include "host/session/stream_counts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

// The camera library's code of a pixel format name ("BayerRG8"); nothing when unknown.
std::optional<uint32_t> pixelFormatCode(const std::string& name);

// The frame number a delivered image carries: read from row 0 of the host's buffer,
// the camera's own samples rebuilt from the planes for colour. storedFormat is the
// format the camera streams.
std::optional<uint32_t> deliveredFrameNumber(const ImageAttributes& attributes, const uint8_t* image,
                                             uint32_t storedFormat);

class ImageTally {
public:
    void addDelivered(std::optional<uint32_t> frameNumber);
    void addTimeout() { ++m_timeouts; }
    void addFailure() { ++m_failures; }
    // The library's counts, which then stand for produced and lost.
    void useLibraryCounts(const StreamCounts& counts) { m_library = counts; }

    uint64_t delivered() const { return m_delivered; }
    uint64_t timeouts() const { return m_timeouts; }
    uint64_t failures() const { return m_failures; } // GetImage calls that failed
    // Highest frame number seen less the first plus one; nothing when not counted.
    std::optional<uint64_t> produced() const;
    std::optional<uint64_t> lost() const;

private:
    uint64_t m_delivered = 0;
    uint64_t m_timeouts = 0;
    uint64_t m_failures = 0;
    bool m_counted = true;
    std::optional<uint32_t> m_first, m_highest;
    std::optional<StreamCounts> m_library;
};

} // namespace aikhost

#endif
