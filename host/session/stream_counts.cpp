// Four reads at the end of a grab, none per image.
#include "host/session/stream_counts.h"

#include <cstdlib>
#include <string>

namespace aikhost {

namespace {

std::optional<uint64_t> countOf(const Channel& channel, const char* node) {
    const TextResult read = channel.readValue(node);
    if (!read.ok() || read.text.empty())
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(read.text.c_str(), &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

} // namespace

std::optional<StreamCounts> readStreamCounts(const Channel& channel) {
    const std::optional<uint64_t> delivered = countOf(channel, "StreamDeliveredFrameCount");
    const std::optional<uint64_t> lost = countOf(channel, "StreamLostFrameCount");
    const std::optional<uint64_t> incomplete = countOf(channel, "StreamIncompleteFrameCount");
    const std::optional<uint64_t> dropped = countOf(channel, "StreamDroppedFrameCount");
    if (!delivered || !lost || !incomplete || !dropped)
        return std::nullopt;
    return StreamCounts{*delivered, *lost + *incomplete + *dropped};
}

void keepEveryImage(const Channel& channel) {
    if (channel.readValue("StreamBufferHandlingMode").ok())
        channel.writeValue("StreamBufferHandlingMode", "OldestFirst");
}

} // namespace aikhost
