// A host in a process of its own, for the tests of the module's configuration at
// load: it loads the module, enumerates the channels, makes one slot call that
// fails, releases the cameras and unloads the module, noting how many files the
// log folder held while the module was loaded and after it was unloaded.
//
// Usage: diag_host <module> <report file> <log folder>
#include "host/loader/video_module.h"
#include "platform/thread.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

long FilesIn(const std::filesystem::path& folder) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: diag_host <module> <report file> <log folder>\n";
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
            VideoChannelRecord unknown = enumeration.channels[0].record();
            unknown.channelID = 99;
            aikhost::Channel(unknown).startAcquisition();
            enumeration.channels[0].releaseVideoChannel();
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    report << "files-after-unload " << FilesIn(argv[3]) << "\n";
    return 0;
}
