// A host in a process of its own, for the tests of the module's configuration at
// load: it loads the module, enumerates the channels, makes one slot call that
// fails, releases the cameras and unloads the module, noting how many files the
// log folder held while the module was loaded and after it was unloaded.
//
// With "stuck" (POSIX), it then leaves a thread blocked inside the module's log lock
// and exits without unloading: the FILE log is swapped for a FIFO that nobody reads,
// so the thread's next line waits in the file's open for ever. The log written until
// then stays as "<log>.kept"; the report ends with the time of the exit call.
//
// Usage: diag_host <module> <report file> <log folder> [stuck]
#include "host/loader/video_module.h"
#include "platform/thread.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

long FilesIn(const std::filesystem::path& folder) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

// A slot call that fails and logs its ERROR line.
void FailingSlotCall(const aikhost::Channel& channel) {
    VideoChannelRecord unknown = channel.record();
    unknown.channelID = 99;
    aikhost::Channel(unknown).startAcquisition();
}

#ifndef _WIN32
[[noreturn]] void ExitWithThreadStuckInLog(const aikhost::Channel& channel, const std::filesystem::path& logs,
                                           std::ofstream& report) {
    const std::filesystem::path log = std::filesystem::directory_iterator(logs)->path();
    const std::string kept = log.string() + ".kept";
    if (link(log.c_str(), kept.c_str()) != 0 || unlink(log.c_str()) != 0 || mkfifo(log.c_str(), 0600) != 0)
        std::exit(3);
    std::thread([&channel] { FailingSlotCall(channel); }).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // now blocked in the lock
    report << "exit-ns " << std::chrono::steady_clock::now().time_since_epoch().count() << "\n";
    report.flush();
    std::exit(0);
}
#endif

} // namespace

int main(int argc, char** argv) {
    const bool stuck = argc == 5 && std::string(argv[4]) == "stuck";
    if (argc != 4 && !stuck) {
        std::cerr << "usage: diag_host <module> <report file> <log folder> [stuck]\n";
        return 2;
    }
    std::ofstream report(argv[2]);
    report << "thread " << platform::CurrentThreadId() << "\n";
    try {
        aikhost::VideoModule module(argv[1]);
        report << "files-while-loaded " << FilesIn(argv[3]) << "\n";
        const aikhost::Enumeration enumeration = module.enumerate();
        report << "channels " << enumeration.channels.size() << "\n";
        if (!enumeration.channels.empty()) {
            FailingSlotCall(enumeration.channels[0]);
#ifndef _WIN32
            if (stuck)
                ExitWithThreadStuckInLog(enumeration.channels[0], argv[3], report);
#endif
            enumeration.channels[0].releaseVideoChannel();
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    report << "files-after-unload " << FilesIn(argv[3]) << "\n";
    return 0;
}
