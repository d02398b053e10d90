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
// With "killed" (for a MEMORY log at WARN), a thread that writes the failing call's
// line over and over is stopped at random moments until it is caught holding the log
// lock (another thread's line then waits) and killed there; the host exits without
// unloading. The report ends with the time of the exit call; "attempts" says how
// many stops it took.
//
// Usage: diag_host <module> <report file> <log folder> [stuck|killed]
#include "host/loader/video_module.h"
#include "platform/thread.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

long FilesIn(const std::filesystem::path& folder) {
    std::error_code error; // none for a folder not made yet
    return static_cast<long>(std::distance(std::filesystem::directory_iterator(folder, error), {}));
}

// The failing call straight through the slot, without the loader's strings: the
// stopped thread of "killed" must hold no allocator lock of its own. It logs its
// ERROR line.
VideoChannelRecord g_record{};
void CallFailingSlot() {
    char errText[512];
    g_record.StartAcquisition(errText, 99);
}

// Notes the time of the exit call, and exits without unloading.
[[noreturn]] void ExitNow(std::ofstream& report) {
    report << "exit-ns " << std::chrono::steady_clock::now().time_since_epoch().count() << "\n";
    report.flush();
    std::exit(0);
}

#ifndef _WIN32
[[noreturn]] void ExitWithThreadStuckInLog(const std::filesystem::path& logs, std::ofstream& report) {
    const std::filesystem::path log = std::filesystem::directory_iterator(logs)->path();
    const std::string kept = log.string() + ".kept";
    if (link(log.c_str(), kept.c_str()) != 0 || unlink(log.c_str()) != 0 || mkfifo(log.c_str(), 0600) != 0)
        std::exit(3);
    std::thread(CallFailingSlot).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // now blocked in the lock
    ExitNow(report);
}

#endif

std::atomic<long> g_writerCalls{0};
[[noreturn]] void WriteForEver() {
    for (;;) {
        CallFailingSlot();
        ++g_writerCalls;
    }
}

// A thread writing the failing call's line for ever, stopped and let go at random
// moments, and in the end killed where it stands. POSIX, which cannot kill one
// thread, stops it in a signal handler and keeps it there.
#ifdef _WIN32
HANDLE g_writer = nullptr;

bool StartWriter() {
    g_writer = CreateThread(
        nullptr, 0, [](void*) -> DWORD { WriteForEver(); }, nullptr, 0, nullptr);
    return g_writer != nullptr;
}
void StopWriter() {
    SuspendThread(g_writer);
}
void LetWriterGo() {
    ResumeThread(g_writer);
}
void KillWriter() {
    TerminateThread(g_writer, 1);
}
#else
pthread_t g_writer;
std::atomic<bool> g_parked{false};
std::atomic<bool> g_releaseParked{false};

// Holds the interrupted thread where the signal found it until released.
void Park(int) {
    g_parked = true;
    const timespec millisecond{0, 1'000'000};
    while (!g_releaseParked)
        nanosleep(&millisecond, nullptr);
    g_parked = false;
}

bool StartWriter() {
    std::signal(SIGUSR1, Park);
    return pthread_create(
               &g_writer, nullptr, [](void*) -> void* { WriteForEver(); }, nullptr) == 0;
}
void StopWriter() {
    g_releaseParked = false;
    pthread_kill(g_writer, SIGUSR1);
    while (!g_parked)
        std::this_thread::yield();
}
void LetWriterGo() {
    g_releaseParked = true;
    while (g_parked)
        std::this_thread::yield();
}
void KillWriter() {}
#endif

// Stops the writer until another thread's line cannot get the log lock, kills it
// there and exits without unloading.
[[noreturn]] void ExitWithThreadKilledInLog(std::ofstream& report) {
    if (!StartWriter())
        std::exit(3);
    // Past its start-up, where the loader's own lock may be held (Windows).
    while (g_writerCalls < 1000)
        std::this_thread::yield();
    constexpr int kAttempts = 20000;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        // Started before the stop, for the same reason.
        std::atomic<bool> go{false}, logged{false};
        std::thread probe([&go, &logged] {
            while (!go)
                std::this_thread::yield();
            CallFailingSlot();
            logged = true;
        });
        std::this_thread::sleep_for(std::chrono::microseconds(attempt % 97));
        StopWriter();
        go = true;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        while (!logged && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        if (!logged) {
            KillWriter();
            probe.detach();
            report << "attempts " << attempt << "\n";
            ExitNow(report);
        }
        probe.join();
        LetWriterGo();
    }
    std::exit(4);
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 5 ? argv[4] : "";
    const bool stuck = mode == "stuck", killed = mode == "killed";
    if (argc != 4 && !stuck && !killed) {
        std::cerr << "usage: diag_host <module> <report file> <log folder> [stuck|killed]\n";
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
            g_record = enumeration.channels[0].record();
            CallFailingSlot();
#ifndef _WIN32
            if (stuck)
                ExitWithThreadStuckInLog(argv[3], report);
#endif
            if (killed)
                ExitWithThreadKilledInLog(report);
            enumeration.channels[0].releaseVideoChannel();
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    report << "files-after-unload " << FilesIn(argv[3]) << "\n";
    return 0;
}
