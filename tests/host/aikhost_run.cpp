// posix_spawn with files for the three standard streams; the wait is bounded so that
// a hanging aikhost fails its test instead of the suite.
#include "tests/host/aikhost_run.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace aiktest {

namespace {

constexpr int kMaxWaitMs = 60000;
constexpr int kPollMs = 10;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> ChildEnvironment(const AikhostRun& run) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (std::none_of(run.environment.begin(), run.environment.end(),
                         [&text](const auto& variable) { return text.rfind(variable.first + "=", 0) == 0; }))
            entries.push_back(text);
    }
    for (const auto& [name, value] : run.environment) {
        if (!value.empty())
            entries.push_back(name + "=" + value);
    }
    return entries;
}

} // namespace

AikhostResult RunAikhost(const AikhostRun& run, const std::filesystem::path& folder) {
    const std::filesystem::path in = folder / "aikhost.in", out = folder / "aikhost.out",
                                err = folder / "aikhost.err";
    std::ofstream(in, std::ios::binary) << run.input;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    const std::string stdoutPath = run.stdoutPath.empty() ? out.string() : run.stdoutPath;
    posix_spawn_file_actions_addopen(&files, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> arguments{AIK_TEST_AIKHOST};
    arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = ChildEnvironment(run);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    AikhostResult result;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        return result;
    if (run.whileRunning)
        run.whileRunning(pid);
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) != pid; waited += kPollMs) {
        if (waited >= kMaxWaitMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadAll(out);
    result.err = ReadAll(err);
    return result;
}

} // namespace aiktest
