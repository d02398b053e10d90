// On Windows the module imports pvxSetTriggerPolarity from the camera library by
// ordinal, so no function of this program can take its place by name: once the module
// is loaded, its import address table entry for the operation is pointed here, and
// each call is recorded and passed on unchanged. The library offers no read-back of
// the whole word without the module's camera handle.
#include "tests/acquisition/polarity_recorder.h"

#include "camera/quorvex_api.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>

namespace aiktest {
namespace {

using SetPolarity = PvxStatus(PVX_CALL*)(PvxHandle, uint32_t);

std::mutex g_mutex;
std::vector<uint32_t> g_words;
SetPolarity g_library = nullptr;

PvxStatus PVX_CALL RecordingSetPolarity(PvxHandle hCam, uint32_t uiWord) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_words.push_back(uiWord);
    }
    return g_library(hCam, uiWord);
}

// Redirects every import slot of the loaded module that holds the library's
// pvxSetTriggerPolarity; slots already redirected hold the recorder and stay.
void RedirectModuleImport() {
    const HMODULE module = GetModuleHandleA("QuorvexAIK64.dll");
    const HMODULE library = GetModuleHandleA("QuorvexApi64.dll");
    if (module == nullptr || library == nullptr) {
        ADD_FAILURE() << "the module and the camera library must be loaded before recording";
        return;
    }
    g_library = reinterpret_cast<SetPolarity>(
        reinterpret_cast<void*>(GetProcAddress(library, "pvxSetTriggerPolarity")));
    const auto target = reinterpret_cast<ULONGLONG>(g_library);
    auto* const base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            if (slot->u1.Function != target)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONGLONG>(&RecordingSetPolarity);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
}

} // namespace

std::vector<uint32_t> writtenPolarityWords() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_words;
}

void clearPolarityWords() {
    RedirectModuleImport();
    std::lock_guard<std::mutex> lock(g_mutex);
    g_words.clear();
}

} // namespace aiktest
