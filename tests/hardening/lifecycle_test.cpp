// A host that loads the module, streams and unloads it again, over and over: nothing
// may accumulate (descriptors, threads, memory) and the camera library must leave the
// process with the module, taking any camera state with it.
#include "host/loader/video_module.h"
#include "tests/hardening/take_images.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <tlhelp32.h>
#else
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace aiktest {
namespace {

// What the process holds, counted the way its operating system tells it: what a module
// that leaks would leave behind between one load and the next. Open handles are file
// descriptors on POSIX; libraryLoaded tells whether a loaded library's name contains name.
#ifdef _WIN32

std::size_t openHandles() {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return handles;
}

std::size_t threadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

long residentKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

bool libraryLoaded(const std::string& name) {
    return GetModuleHandleA((name + ".dll").c_str()) != nullptr;
}

#else

std::size_t entriesIn(const char* folder) {
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::size_t openHandles() {
    return entriesIn("/proc/self/fd");
}

std::size_t threadCount() {
    return entriesIn("/proc/self/task");
}

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

bool libraryLoaded(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos)
            return true;
    }
    return false;
}

#endif

// Catches descriptors, threads or memory left behind by a session or an unload, and a
// camera library that stays mapped after the module is gone.
TEST(LifecycleTest, LoadStreamUnloadCyclesLeaveNothingBehind) {
    const OneSimulatedCamera camera("lifecycle");

    // Wine's loader is slower; fewer cycles there still show a per-cycle leak.
#ifdef _WIN32
    constexpr int kCycles = 50;
#else
    constexpr int kCycles = 200;
#endif
    std::size_t descriptors = 0, threads = 0;
    long residentAtTen = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        { // One host session: enumerate, set up, start, 50 images, stop, release.
            aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
            aikhost::Enumeration enumeration;
            ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
            const aikhost::Channel& channel = enumeration.channels.front();
            ASSERT_EQ(takeImages(channel, 50, 1000), 50) << "a session that loses its images ends the cycles";
            EXPECT_EQ(channel.stopAcquisition().rc, 0);
            EXPECT_EQ(channel.releaseVideoChannel().rc, 0);
        }
        ASSERT_FALSE(libraryLoaded("QuorvexApi64")) << "after cycle " << cycle;
        if (cycle == 1) {
            descriptors = openHandles();
            threads = threadCount();
        }
        EXPECT_EQ(openHandles(), descriptors) << "after cycle " << cycle;
        EXPECT_EQ(threadCount(), threads) << "after cycle " << cycle;
        if (cycle == 10)
            residentAtTen = residentKiB();
    }
    const long growth = residentKiB() - residentAtTen;
    reportFigure("lifecycle: " + std::to_string(kCycles) + " load-stream-unload cycles, resident memory +" +
                 std::to_string(growth) + " KiB over cycles 10 to " + std::to_string(kCycles));
// The sanitizers' own bookkeeping grows by design, and so does wine's working set.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(_WIN32)
    EXPECT_LT(growth, 64);
#endif
}

} // namespace
} // namespace aiktest
