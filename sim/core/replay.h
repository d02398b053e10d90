// A recording (aikhost record's file) played back as a camera's images: the sensor
// size and pixel format are the recording's, each image is a page's samples as the
// camera stored them, with its recorded frame number (gaps included) and the time
// between pages as recorded.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace sim {

class Replay {
public:
    // Reads every page's format and metadata. loop: after the last page the first
    // comes again, frame numbers going on. Throws std::runtime_error naming the file
    // and what is wrong with it (also in a build that reads no recordings).
    Replay(const std::string& path, bool loop);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    uint32_t Width() const;
    uint32_t Height() const;
    uint32_t PixelFormat() const; // the camera library's code
    // Back to the first page, as a stream starts.
    void Rewind();
    // The recorded time from the page played last to the next one; nothing before the
    // first page and across a loop's wrap.
    std::optional<double> SecondsToNext() const;
    // The next page's image into out (the format's whole image) and its frame number;
    // false after the last page when not looping, or when a page cannot be read.
    bool Play(uint8_t* out, uint64_t& frame);

private:
    struct State;
    mutable std::mutex m_mutex;
    std::unique_ptr<State> m_state;
};

} // namespace sim
