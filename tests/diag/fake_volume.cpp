// Replaces platform::VolumeFreeBytes in the executable that links this file: the
// linker then takes no definition of it from the platform library.
#include "fake_volume.h"

#include "platform/volume.h"

namespace diagtest {

std::atomic<uint64_t> g_fakeFreeBytes{0};
std::atomic<bool> g_fakeQueryFails{false};

} // namespace diagtest

namespace platform {

bool VolumeFreeBytes(const char* /*path*/, uint64_t* freeBytes) {
    if (diagtest::g_fakeQueryFails)
        return false;
    *freeBytes = diagtest::g_fakeFreeBytes;
    return true;
}

} // namespace platform
