// Which completed images a stream keeps for the host, offered by both camera libraries
// as the enumeration node StreamBufferHandlingMode. NewestOnly holds the newest image
// alone: a live view always shows the present. OldestFirst keeps completed images in
// order until the host takes them, so that a burst of images arriving faster than one
// host wake-up is not lost to a host that keeps up on average; while every buffer is
// full, new images are lost instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace camlib {

enum class BufferHandling : uint8_t { NewestOnly, OldestFirst };

inline constexpr const char* kBufferHandlingNode = "StreamBufferHandlingMode";
// In BufferHandling's order.
inline constexpr const char* kBufferHandlingEntries[] = {"NewestOnly", "OldestFirst"};
inline constexpr size_t kBufferHandlingEntryCount = std::size(kBufferHandlingEntries);
inline constexpr const char* kBufferHandlingDescription =
    "Which completed images the stream keeps for the host: NewestOnly the newest alone, OldestFirst all "
    "of them in order while buffers last. Set while the stream is closed.";

inline std::optional<BufferHandling> BufferHandlingNamed(std::string_view entry) {
    for (size_t i = 0; i < kBufferHandlingEntryCount; ++i)
        if (entry == kBufferHandlingEntries[i])
            return static_cast<BufferHandling>(i);
    return std::nullopt;
}

inline const char* BufferHandlingName(BufferHandling mode) {
    return kBufferHandlingEntries[static_cast<size_t>(mode)];
}

} // namespace camlib
