// Images taken from a started channel of the hardening tests' 64 x 32 Mono8 camera,
// as a host polls for them.
#pragma once

#include "host/loader/channel.h"

#include <vector>

namespace aiktest {

// Waits and copies, into buffer or one of its own, until count images arrived or
// maxWaits waits were made; the images taken.
inline int takeImages(const aikhost::Channel& channel, int count, int maxWaits, void* buffer = nullptr) {
    std::vector<uint8_t> own(buffer != nullptr ? 0 : 64 * 32);
    int images = 0;
    for (int waits = 0; images < count && waits < maxWaits; ++waits) {
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
            images += channel.getImage(buffer != nullptr ? buffer : own.data()).acqResult == AIK_ACQ_DONE;
    }
    return images;
}

} // namespace aiktest
