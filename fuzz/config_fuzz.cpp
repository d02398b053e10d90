// Fuzzes the configuration reader with any line and any file. The log set-up it
// asks for is only checked (recording_log_setup.cpp), so that fuzzed folders are
// never created.
#include "diag/config.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

// One file per fuzzing process, rewritten for every input and removed at exit.
struct ScratchFile {
    std::string path = "/tmp/aik-config-fuzz-" + std::to_string(getpid()) + ".cfg";
    ~ScratchFile() { std::remove(path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        ParseConfigLine(text);
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
        // The two ways a MEMORY line's size may fail to convert; anything else escapes.
    }

    static const ScratchFile scratch;
    // A new file each time: ext4 flushes a file emptied and rewritten when it is
    // closed, which would slow the fuzzer down twentyfold.
    std::remove(scratch.path.c_str());
    if (FILE* file = fopen(scratch.path.c_str(), "wb")) {
        fwrite(data, 1, size, file);
        fclose(file);
        ReadConfigFile(scratch.path.c_str());
    }
    g_logPath.clear();
    g_logToMemory = false;
    g_logConfigured = false;
    return 0;
}
