// aikhost record's work, without printing: the chosen channels streamed at the same
// time, each on its own thread as the module allows, every image copied out through
// GetImage (grab_loop) and handed to the channel's writer thread through a bounded
// queue, so that writing never delays acquisition; an image that finds the queue full
// is dropped and counted. Each channel's recording is one file (recording/).
#ifndef AIKHOST_RECORD_SESSION_H
#define AIKHOST_RECORD_SESSION_H

#include "host/loader/channel.h"
#include "host/session/grab_loop.h"
#include "host/session/host_failure.h"
#include "recording/image_meta.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

struct RecordSettings {
    GrabLimits limits;                   // count: images per channel
    std::optional<double> seconds;       // per channel, from its first wait
    std::size_t queueBytes = 256u << 20; // shared evenly by the channels, at least one image each
    bool rawBayer = false;               // Bayer images as the camera's mosaic rather than planes
    std::function<bool()> stopRequested;
};

struct RecordTarget {
    const Channel* channel = nullptr;
    std::string file;
};

struct ChannelRecord {
    int64_t id = 0;
    std::string name, format, file;
    ImageAttributes attributes{};
    LoopResult loop;
    std::string problem; // why it never streamed, or why its file could not be written
    FailureKind kind = FailureKind::ImagesLost;
    recording::StreamCounts counts;
};

// A write that fails ends every channel's recording; each file keeps what was written.
std::vector<ChannelRecord> recordChannels(const std::vector<RecordTarget>& targets,
                                          const RecordSettings& settings);

} // namespace aikhost

#endif
