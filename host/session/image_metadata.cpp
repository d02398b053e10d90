// The host time is the wall clock, so that recordings of several channels and
// machines line up; replay takes only its differences.
#include "host/session/image_metadata.h"

#include <chrono>
#include <cstdlib>

namespace aikhost {

namespace {

constexpr const char* kFrameIdNode = "ChunkFrameID";
constexpr const char* kTimestampNode = "ChunkTimestamp";

} // namespace

ImageMetadata::ImageMetadata(const Channel& channel)
    : m_channel(channel), m_frameIds(channel.readValue(kFrameIdNode).ok()),
      m_timestamps(channel.readValue(kTimestampNode).ok()) {
    const TextResult exposure = channel.readValue("ExposureTime");
    if (exposure.ok())
        m_exposureUs = std::strtod(exposure.text.c_str(), nullptr);
}

std::optional<uint64_t> ImageMetadata::readCount(const char* node) const {
    const TextResult value = m_channel.readValue(node);
    if (!value.ok() || value.text.empty())
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long count = std::strtoull(value.text.c_str(), &end, 10);
    return *end == '\0' ? std::optional<uint64_t>(count) : std::nullopt;
}

recording::ImageMeta ImageMetadata::gather(std::optional<uint32_t> stampedFrame) const {
    recording::ImageMeta meta;
    meta.frame = stampedFrame;
    if (!meta.frame && m_frameIds)
        meta.frame = readCount(kFrameIdNode);
    if (m_timestamps)
        meta.cameraTimestamp = readCount(kTimestampNode);
    meta.hostTimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
    meta.exposureUs = m_exposureUs;
    return meta;
}

} // namespace aikhost
