// What a call into the module gives back to the host stand-in: the result, the
// error text the module wrote, and the slot's out-values.
#ifndef AIKHOST_SLOT_RESULT_H
#define AIKHOST_SLOT_RESULT_H

#include "channel/video_channel.h"

#include <cstdint>
#include <string>

namespace aikhost {

// Bytes of the error-text buffer and of every text out-buffer handed to the module.
constexpr std::size_t kTextBufferBytes = 256;
// What an acqResult holds when the module did not write it.
constexpr uint32_t kAcqResultUnwritten = 0xDEADBEEFu;

struct SlotResult {
    int32_t rc = 1;
    std::string errText; // up to the first NUL of the host's buffer
    bool ok() const { return rc == 0; }
};

struct TextResult : SlotResult {
    std::string text;
};

struct FeatureTypeResult : SlotResult {
    int32_t type = 0;
};

struct AcquisitionResult : SlotResult {
    uint32_t acqResult = kAcqResultUnwritten;
    // GetImage woken by a signal whose image was already taken: the camera library
    // promises one signal per completed image, so a signal can outlive its image when
    // a newer one was taken meanwhile. Or the image it named was refilled before it
    // could be locked (a host descheduled past the library's buffers): a newer one
    // is on its way. Either way the host waits again.
    bool foundNoNewImage() const {
        return rc == 1 && acqResult == AIK_ACQ_NOT_DELIVERED &&
               (errText == "EMPTY COMPLETE QUEUE." || errText == "NOT READY.");
    }
};

struct ImageAttributesResult : AcquisitionResult {
    ImageAttributes attributes{};
};

} // namespace aikhost

#endif
