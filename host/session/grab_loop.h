// grab's acquisition loop: images taken from a started channel through
// WaitForIntegration and GetImage as the vision host takes them, each fired by
// TriggerSoftware when the camera is triggered, until the count is delivered, a run of
// time-outs, too many failed images, a refused trigger, a camera that stopped
// answering, an image its user cannot take, or a stop its user asks for. A failed
// image is counted and the loop goes on. It reads no feature per image (the stream
// counts at the start, the end and after a time-out) and prints nothing: its user
// shows progress and reports.
#ifndef AIKHOST_GRAB_LOOP_H
#define AIKHOST_GRAB_LOOP_H

#include "host/loader/channel.h"
#include "host/session/image_tally.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

struct GrabLimits {
    int count = 10;       // images delivered
    int timeoutMs = 2000; // per image
    int maxTimeouts = 3;  // in a row, before the channel gives up
    int maxFailures = 3;  // failed images in all, before the channel gives up
};

struct GrabHooks {
    std::function<bool()> stopRequested;
    // While waiting for the next image, at least every 10 ms, with the counts so far.
    std::function<void(const ImageTally& tally)> waiting;
    // Each delivered image, numbered from 1, in the host's buffer with the frame number
    // it carries; empty when taken, else why the grab cannot go on. It may keep the
    // buffer, swapped for another of the same size.
    std::function<std::string(int image, std::vector<uint8_t>& buffer, std::optional<uint32_t> frame)> take;
};

enum class LoopEnd {
    Done,            // took its count, or its user stopped it
    TriggerRefused,  // TriggerSoftware failed
    TimedOut,        // no image within the time-out, inRow times in a row
    NoNewImage,      // woken inRow times in a row without a new image
    TooManyFailures, // GetImage failed maxFailures times; detail: its last text
    CameraSilent,    // after a time-out the library no longer answers; detail: why
    NotTaken,        // detail: why take refused the image
};

struct LoopResult {
    LoopEnd end = LoopEnd::Done;
    std::string detail;
    std::string lastFailure; // GetImage's text when it last failed
    int inRow = 0;           // time-outs and empty wake-ups in a row when it ended
    ImageTally tally;
    double seconds = 0;
};

// The bytes GetImage writes for an image of these attributes: one per Mono8 sample,
// three planes for colour, two per deeper sample.
std::size_t deliveredBytes(const ImageAttributes& attributes);

// storedFormat: the camera's pixel format code, for the frame numbers; nothing when
// the images carry none.
LoopResult takeImages(const Channel& channel, const ImageAttributes& attributes,
                      std::optional<uint32_t> storedFormat, const GrabLimits& limits, const GrabHooks& hooks);

} // namespace aikhost

#endif
