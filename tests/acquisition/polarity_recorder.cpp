// This program defines pvxSetTriggerPolarity itself: the dynamic linker looks in the
// program before the camera library, so the module's calls arrive here, are recorded
// and are passed on unchanged. The library offers no read-back of the whole word
// without the module's camera handle.
#include "tests/acquisition/polarity_recorder.h"

#include "camera/quorvex_api.h"

#include <dlfcn.h>

#include <mutex>

namespace aiktest {
namespace {

std::mutex g_mutex;
std::vector<uint32_t> g_words;

} // namespace

std::vector<uint32_t> writtenPolarityWords() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_words;
}

void clearPolarityWords() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_words.clear();
}

} // namespace aiktest

extern "C" PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerPolarity(PvxHandle hCam, uint32_t uiWord) {
    using SetPolarity = PvxStatus(PVX_CALL*)(PvxHandle, uint32_t);
    static const auto library = reinterpret_cast<SetPolarity>(dlsym(RTLD_NEXT, "pvxSetTriggerPolarity"));
    {
        std::lock_guard<std::mutex> lock(aiktest::g_mutex);
        aiktest::g_words.push_back(uiWord);
    }
    return library(hCam, uiWord);
}
