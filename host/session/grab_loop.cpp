// The loop polls as the host does, so that a grab meets the module as the host makes it.
#include "host/session/grab_loop.h"

#include "host/session/stream_counts.h"

#include <chrono>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// WaitForIntegration waits at most 10 ms per call.
bool waitForImage(const Channel& channel, int timeoutMs, const GrabHooks& hooks, const ImageTally& tally) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        hooks.waiting(tally);
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
            return true;
    } while (Clock::now() < deadline && !hooks.stopRequested());
    return false;
}

} // namespace

std::size_t deliveredBytes(const ImageAttributes& attributes) {
    const std::size_t pixels =
        static_cast<std::size_t>(attributes.width) * static_cast<std::size_t>(attributes.height);
    return attributes.pixelFormat == AIK_PIXEL_MONO8        ? pixels
           : attributes.pixelFormat == AIK_PIXEL_PLANES_RGB ? 3 * pixels
                                                            : 2 * pixels;
}

LoopResult takeImages(const Channel& channel, const ImageAttributes& attributes,
                      std::optional<uint32_t> storedFormat, const GrabLimits& limits,
                      const GrabHooks& hooks) {
    LoopResult result;
    std::vector<uint8_t> image(deliveredBytes(attributes));
    // Set up before the loop and left alone during it.
    const bool fired = channel.readValue("TriggerMode").text == "On";
    // A library with stream counts answers them without asking the camera, unless the
    // camera stopped answering: after a time-out, that tells a silent camera from a slow one.
    const bool counted = readStreamCounts(channel).has_value();
    const auto start = Clock::now();
    // Only a delivered image counts toward the count: time-outs and failures are
    // bounded by their own limits.
    while (result.tally.delivered() < static_cast<uint64_t>(limits.count) && !hooks.stopRequested()) {
        if (fired && !channel.executeCommand("TriggerSoftware").ok()) {
            result.end = LoopEnd::TriggerRefused;
            break;
        }
        if (!waitForImage(channel, limits.timeoutMs, hooks, result.tally)) {
            if (hooks.stopRequested())
                break;
            result.tally.addTimeout();
            if (counted && !readStreamCounts(channel)) {
                result.end = LoopEnd::CameraSilent;
                result.detail = "the camera stopped answering (its stream counts cannot be read)";
                break;
            }
            if (++result.inRow >= limits.maxTimeouts) {
                result.end = LoopEnd::TimedOut;
                break;
            }
            continue;
        }
        const AcquisitionResult delivered = channel.getImage(image.data());
        if (delivered.foundNoNewImage()) {
            // Counts toward giving up, so that a library that never delivers ends too.
            if (++result.inRow >= limits.maxTimeouts) {
                result.end = LoopEnd::NoNewImage;
                break;
            }
            continue;
        }
        result.inRow = 0;
        if (!delivered.ok() || delivered.acqResult != AIK_ACQ_DONE) {
            result.tally.addFailure();
            result.lastFailure = delivered.errText.empty() ? "no image" : delivered.errText;
            if (result.tally.failures() >= static_cast<uint64_t>(limits.maxFailures)) {
                result.end = LoopEnd::TooManyFailures;
                result.detail = result.lastFailure;
                break;
            }
            continue;
        }
        const std::optional<uint32_t> frame =
            storedFormat ? deliveredFrameNumber(attributes, image.data(), *storedFormat) : std::nullopt;
        result.tally.addDelivered(frame);
        result.detail = hooks.take(static_cast<int>(result.tally.delivered()), image, frame);
        if (!result.detail.empty()) {
            result.end = LoopEnd::NotTaken;
            break;
        }
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (const std::optional<StreamCounts> counts = readStreamCounts(channel))
        result.tally.useLibraryCounts(*counts);
    return result;
}

} // namespace aikhost
