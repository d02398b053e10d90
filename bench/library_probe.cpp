// This program defines pvxOpenStream, pvxLockImage and pvxCopyImageData itself: the
// dynamic linker looks in the program before the camera library, so the module's
// calls arrive here, are noted and passed on unchanged.
#include "bench/library_probe.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>

namespace aikbench {
namespace {

std::atomic<PvxEvent> g_frameEvent{-1};
std::atomic<uint64_t> g_lockedTimestamp{0};
std::atomic<double> g_copyMicroseconds{0};

// The camera library's own operation, from the copy the module loaded (the program
// itself uses nothing else of the library, so it is not among the program's own
// dependencies for RTLD_NEXT to find).
template <class Function> Function Library(const char* name) {
    void* library = dlopen("libQuorvexApi64.so", RTLD_LAZY | RTLD_NOLOAD);
    const auto function = reinterpret_cast<Function>(dlsym(library, name));
    dlclose(library); // the module keeps the library loaded
    return function;
}

} // namespace

PvxEvent LastFrameEvent() {
    return g_frameEvent.load();
}
uint64_t LastLockedTimestamp() {
    return g_lockedTimestamp.load();
}
double LastCopyMicroseconds() {
    return g_copyMicroseconds.load();
}

} // namespace aikbench

extern "C" PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm,
                                                       uint32_t* puiFrameBytes, PvxEvent hEvent,
                                                       uint32_t uiBuffers, uint32_t uiFlags) {
    static const auto library = aikbench::Library<decltype(&pvxOpenStream)>("pvxOpenStream");
    aikbench::g_frameEvent = hEvent;
    return library(hCam, phStrm, puiFrameBytes, hEvent, uiBuffers, uiFlags);
}

extern "C" PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex,
                                                      PvxImageRecord* pRecord) {
    static const auto library = aikbench::Library<decltype(&pvxLockImage)>("pvxLockImage");
    const PvxStatus status = library(hStrm, uiIndex, pRecord);
    if (status == 0)
        aikbench::g_lockedTimestamp = pRecord->ullTimestamp;
    return status;
}

extern "C" PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                                          uint32_t uiFlags) {
    using Clock = std::chrono::steady_clock;
    static const auto library = aikbench::Library<decltype(&pvxCopyImageData)>("pvxCopyImageData");
    const auto start = Clock::now();
    const PvxStatus status = library(hStrm, pDest, puiSize, uiFlags);
    aikbench::g_copyMicroseconds = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return status;
}
