// Stands in for the log writer's set-up under the fuzzer: checks what the parser
// asks for and sets nothing up.
#include "diag/config.h"
#include "diag/log_writer.h"

#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        abort();
}

} // namespace

bool InitFileLog(const char* path, uint32_t level) {
    Require(level <= LOG_FATAL);
    Require(path == g_logPath.c_str() && !g_logToMemory);
    // The folder has lost its quotes and line feeds and gained the dated name. The
    // string, not the C text, since a fuzzed line may hold zero bytes.
    Require(g_logPath.find_first_of("\"\n") == std::string::npos);
    Require(g_logPath.size() >= 30 && g_logPath.compare(g_logPath.size() - 4, 4, ".txt") == 0);
    return false;
}

bool InitMemoryLog(uint32_t size, uint32_t level) {
    Require(level <= LOG_FATAL && size >= 32 && g_logToMemory && !g_logPath.empty());
    return false;
}
