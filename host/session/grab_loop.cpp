// The loop polls as the host does, so that a grab meets the module as the host makes it.
#include "host/session/grab_loop.h"

#include "host/session/stream_counts.h"

#include <chrono>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// WaitForIntegration waits at most 10 ms per call.
bool waitForImage(const Channel& channel, int timeoutMs, const std::function<bool()>& stopRequested) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
            return true;
    } while (Clock::now() < deadline && !stopRequested());
    return false;
}

std::size_t bufferBytes(const ImageAttributes& attributes) {
    const std::size_t pixels =
        static_cast<std::size_t>(attributes.width) * static_cast<std::size_t>(attributes.height);
    return attributes.pixelFormat == AIK_PIXEL_MONO8        ? pixels
           : attributes.pixelFormat == AIK_PIXEL_PLANES_RGB ? 3 * pixels
                                                            : 2 * pixels;
}

} // namespace

LoopResult takeImages(const Channel& channel, const ImageAttributes& attributes,
                      std::optional<uint32_t> storedFormat, const GrabLimits& limits,
                      const GrabHooks& hooks) {
    LoopResult result;
    std::vector<uint8_t> image(bufferBytes(attributes));
    // Set up before the loop and left alone during it.
    const bool fired = channel.readValue("TriggerMode").text == "On";
    // A library with stream counts answers them without asking the camera, unless the
    // camera stopped answering: after a time-out, that tells a silent camera from a slow one.
    const bool counted = readStreamCounts(channel).has_value();
    const auto start = Clock::now();
    for (int i = 1; i <= limits.count && !hooks.stopRequested(); ++i) {
        hooks.waiting(i - 1);
        if (fired && !channel.executeCommand("TriggerSoftware").ok()) {
            result.end = LoopEnd::TriggerRefused;
            break;
        }
        if (!waitForImage(channel, limits.timeoutMs, hooks.stopRequested)) {
            if (hooks.stopRequested())
                break;
            result.tally.addTimeout();
            if (counted && !readStreamCounts(channel)) {
                result.end = LoopEnd::GetImageFailed;
                result.detail = "no image: the camera stopped answering (its stream counts cannot be read)";
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
            --i;
            continue;
        }
        result.inRow = 0;
        if (!delivered.ok() || delivered.acqResult != AIK_ACQ_DONE) {
            result.end = LoopEnd::GetImageFailed;
            result.detail = delivered.errText;
            break;
        }
        const std::optional<uint32_t> frame =
            storedFormat ? deliveredFrameNumber(attributes, image.data(), *storedFormat) : std::nullopt;
        result.tally.addDelivered(frame);
        result.detail = hooks.take(i, image, frame);
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
