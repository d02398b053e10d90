// Runs aikhost as a user does, as a child process with its own environment: its exit
// code and what it printed, stdout and stderr apart.
#ifndef AIKTEST_AIKHOST_RUN_H
#define AIKTEST_AIKHOST_RUN_H

#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace aiktest {

struct AikhostResult {
    int exitCode = -1; // 128 + the signal when it was killed
    std::string out;
    std::string err;
};

struct AikhostRun {
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> environment; // added or replaced; empty value: removed
    std::string input;                                            // standard input
    std::string stdoutPath;                                       // empty: captured
    // Called once the child runs, with its pid; aikhost is killed after 60 s anyway.
    std::function<void(pid_t)> whileRunning;
};

// Output files live in folder.
AikhostResult RunAikhost(const AikhostRun& run, const std::filesystem::path& folder);

} // namespace aiktest

#endif
