// grab's reporting: why a channel's stream ended, problems and lost images on standard
// error, and the summary table (or JSON document) with the exit code they make.
#ifndef AIKHOST_GRAB_REPORT_H
#define AIKHOST_GRAB_REPORT_H

#include "host/cli/image_stats.h"
#include "host/commands/grab_output.h"
#include "host/loader/channel.h"
#include "host/session/grab_loop.h"
#include "host/session/host_failure.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

struct ImageRecord {
    std::string file;
    std::optional<uint32_t> frame;
    std::vector<PlaneStats> stats;
};

struct ChannelGrab {
    int64_t id = 0;
    std::string name, geometry, format;
    std::optional<double> askedRate; // images per second the camera was set to; none when triggered
    LoopResult loop;
    std::vector<ImageRecord> images;
    std::string problem;                        // why it stopped or never streamed
    std::string detail;                         // what the module said about the problem
    FailureKind kind = FailureKind::ImagesLost; // of the problem
    std::vector<std::string> notes;             // time-outs and failures it went on after
};

// Notes why grab.loop ended early as a problem of its class, and why images did not
// come or failed when it went on after them. Time-outs are explained from the
// settings that decide them.
void noteLoopEnd(ChannelGrab& grab, const Channel& channel, int timeoutMs);

// A count that cannot be known (no frame numbers): "not counted", or null in JSON.
std::string countText(const std::optional<uint64_t>& count);
nlohmann::json countJson(const std::optional<uint64_t>& count);

// The worst class among the channels: interrupted, unwritable output, lost images.
int grabExitCode(const std::vector<ChannelGrab>& grabs);

// The figures so far as one line for --stats-interval: on standard error, or with
// json as one JSON document on standard output.
void reportInterval(const ChannelGrab& grab, const ImageTally& tally, double seconds, double intervalRate,
                    bool json);

// Problems and lost images on standard error, then the summary (per image statistics
// with stats) or, with json, the document; the worst exit code among the channels.
// removed: files of an earlier grab that --overwrite removed.
int reportGrabs(const std::vector<ChannelGrab>& grabs, const GrabOutput& output, bool json, bool stats,
                std::size_t removed);

} // namespace aikhost

#endif
