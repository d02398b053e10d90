// Per-plane statistics of a delivered image for grab --stats.
#ifndef AIKHOST_IMAGE_STATS_H
#define AIKHOST_IMAGE_STATS_H

#include "channel/video_channel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace aikhost {

struct PlaneStats {
    std::string plane; // "grey", "red", "green", "blue"
    unsigned minimum = 0;
    unsigned maximum = 0;
    double mean = 0;
    uint64_t saturated = 0; // samples at the format's highest level
};

// The host buffer's planes: one for grey formats (16-bit words for Mono10/12), three
// for colour.
std::vector<PlaneStats> imageStats(const ImageAttributes& attributes, const uint8_t* image);

} // namespace aikhost

#endif
