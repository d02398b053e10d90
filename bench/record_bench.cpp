// aikhost record under load, each figure beside its reference from the same run:
// - the simulator's own ceiling: four 1280x1024 Mono8 cameras asked for 250 images/s
//   each, streamed with nobody taking images (images made per second);
// - aikhost record of those four cameras into a memory-backed folder (/dev/shm) at the
//   rate the simulator reaches: images recorded, lost by the camera, dropped by the host,
//   and aikhost's CPU per image beside one memcpy of the image;
// - aikhost record of one camera at its highest rate into a disk folder: bytes/s beside
//   dd (with fdatasync) writing into the same folder, and beside what the camera offered;
// - where Aravis is built: the GigE Vision emulator at its highest rate, 640x480 Mono8,
//   recorded by aikhost beside what arv-camera-test-0.8 keeps, one after the other.
// Prints a Markdown section for bench/REPORT.md.
//
// usage: aik_record_bench AIKHOST DISK_FOLDER [SECONDS per run, default 5]
#include "camera/quorvex_api.h"
#include "sim/sim_control.h"
#ifdef AIK_RECORD_BENCH_GENICAM
#include "tests/aravis/emulator.h"
#endif

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr uint32_t kWidth = 1280, kHeight = 1024;
constexpr std::size_t kImageBytes = std::size_t{kWidth} * kHeight;
constexpr int kCameras = 4;
constexpr double kAskedRate = 250;

std::string cameras(int count, double rate) {
    std::string list;
    for (int i = 0; i < count; ++i)
        list += std::string(i ? "," : "") + R"({"model": "REC-BENCH-)" + std::to_string(i) +
                R"(", "sensorWidth": 1280, "sensorHeight": 1024, "pixelFormat": "Mono8", "frameRate": )" +
                std::to_string(rate) + "}";
    return R"({"cameras": [)" + list + "]}";
}

fs::path writeDescription(const fs::path& folder, const std::string& name, const std::string& text) {
    const fs::path path = folder / name;
    std::ofstream(path) << text;
    return path;
}

// Images the simulator makes per second, all cameras together, with nobody taking them.
double simulatorCeiling(const fs::path& description, double seconds) {
    setenv("QUORVEX_SIM_CONFIG", description.c_str(), 1);
    if (pvxInitLibrary(0) != PVX_OK)
        throw std::runtime_error("pvxInitLibrary failed");
    std::vector<PvxHandle> cams(kCameras), streams(kCameras);
    for (uint32_t i = 0; i < kCameras; ++i) {
        uint32_t bytes = 0;
        if (pvxOpenCamera(i, &cams[i], 0, true, 0, 0) != PVX_OK ||
            pvxOpenStream(cams[i], &streams[i], &bytes, static_cast<PvxEvent>(-1), 13, 0) != PVX_OK)
            throw std::runtime_error("cannot open camera " + std::to_string(i));
    }
    for (const PvxHandle stream : streams)
        pvxStartStream(stream, 13);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    uint64_t made = 0;
    for (uint32_t i = 0; i < kCameras; ++i) {
        uint64_t images = 0, dropped = 0;
        pvxSimStreamCounters(i, &images, &dropped);
        made += images;
    }
    for (uint32_t i = 0; i < kCameras; ++i) {
        pvxStopStream(streams[i]);
        pvxCloseStream(streams[i]);
        pvxCloseCamera(cams[i]);
    }
    unsetenv("QUORVEX_SIM_CONFIG");
    return static_cast<double>(made) / seconds;
}

struct Child {
    int status = -1;
    double cpuSeconds = 0, wallSeconds = 0;
    std::string out;
};

// Runs a program with its standard output into a file, and measures its CPU and time.
Child run(std::vector<std::string> words, const fs::path& outFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (outFile.string() + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + words[0]);
    posix_spawn_file_actions_destroy(&actions);
    Child child;
    rusage usage{};
    wait4(pid, &child.status, 0, &usage);
    child.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    child.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    std::ifstream file(outFile);
    child.out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    // aikhost exits 6 when images were lost, which the figures count.
    if (!WIFEXITED(child.status) || (WEXITSTATUS(child.status) != 0 && WEXITSTATUS(child.status) != 6)) {
        std::ifstream errors(outFile.string() + ".err");
        throw std::runtime_error(
            words[0] + " failed: " +
            std::string(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>()));
    }
    return child;
}

// The median time of one memcpy of an image, from buffers larger than the caches.
double memcpySeconds() {
    constexpr int kImages = 48, kRuns = 200;
    std::vector<uint8_t> from(kImageBytes * kImages, 1), to(kImageBytes * kImages);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const std::size_t at = kImageBytes * static_cast<std::size_t>(run % kImages);
        const auto start = Clock::now();
        std::memcpy(to.data() + at, from.data() + at, kImageBytes);
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

struct Totals {
    uint64_t delivered = 0, lost = 0, dropped = 0;
    bool counted = true; // every channel's images carried frame numbers
    double seconds = 0;
};

Totals totalsOf(const std::string& json) {
    Totals totals;
    const nlohmann::json document = nlohmann::json::parse(json);
    for (const auto& channel : document.at("channels")) {
        totals.delivered += channel.at("delivered").get<uint64_t>();
        totals.counted = totals.counted && !channel.at("lost").is_null();
        totals.lost += totals.counted ? channel.at("lost").get<uint64_t>() : 0;
        totals.dropped += channel.at("dropped").get<uint64_t>();
        totals.seconds = std::max(totals.seconds, channel.at("seconds").get<double>());
    }
    return totals;
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

#ifdef AIK_RECORD_BENCH_GENICAM
long reported(const std::string& report, const char* name) {
    const std::size_t at = report.find(name);
    return at == std::string::npos ? -1 : std::atol(report.c_str() + report.find('=', at) + 1);
}

// One emulator, started here on 127.0.0.1 and stopped by its process id; not measured
// when another GigE Vision device answers there already.
void emulatorRow(const std::string& aikhost, const fs::path& folder, double seconds) {
    aiktest::GigeEmulator emulator;
    if (!emulator.start(AIK_RECORD_BENCH_GENICAM)) {
        std::printf("| GigE Vision emulator recorded | not measured: %s | | |\n", emulator.why().c_str());
        return;
    }
    const std::string duration = std::to_string(static_cast<int>(seconds));
    const Child tool = run({"/usr/bin/arv-camera-test-0.8", "-n", "127.0.0.1", "-f", "1000", "-w", "640",
                            "-h", "480", "-e", "10000", "--duration", duration},
                           folder / "arv.txt");
    setenv("QUORVEX_ARAVIS_CAMERAS", "127.0.0.1", 1);
    const Child recorded = run({aikhost, "--backend", "aravis", "--json", "--set",
                                "AcquisitionFrameRate=1000", "--set", "Width=640", "--set", "Height=480",
                                "record", "-t", duration, "-o", (folder / "gige.tif").string()},
                               folder / "gige.json");
    unsetenv("QUORVEX_ARAVIS_CAMERAS");
    emulator.stop();
    fs::remove(folder / "gige.tif");
    const Totals totals = totalsOf(recorded.out);
    const double aikhostRate = static_cast<double>(totals.delivered) / totals.seconds;
    const double toolRate = static_cast<double>(reported(tool.out, "n_completed_buffers")) / seconds;
    const std::string lost = totals.counted ? std::to_string(totals.lost) : "not counted";
    std::printf(
        "| GigE Vision emulator, 640x480 Mono8 at its highest rate, recorded (lost %s, dropped %llu) | "
        "%.0f images/s | arv-camera-test-0.8 %.0f images/s | %.2f× |\n",
        lost.c_str(), static_cast<unsigned long long>(totals.dropped), aikhostRate, toolRate,
        aikhostRate / toolRate);
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: aik_record_bench AIKHOST DISK_FOLDER [SECONDS]\n");
        return 2;
    }
    const std::string aikhost = argv[1];
    const fs::path disk = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 5.0;
    try {
        const fs::path memory = fs::path("/dev/shm") / ("aik_record_bench_" + std::to_string(getpid()));
        fs::create_directories(memory);
        fs::create_directories(disk);
        const double ceiling =
            simulatorCeiling(writeDescription(memory, "ceiling.json", cameras(kCameras, kAskedRate)), 3);
        // A little below the ceiling, so that the simulator, not its host, sets the pace.
        const double rate = std::min(kAskedRate, std::max(1.0, 0.9 * ceiling / kCameras));
        const fs::path four = writeDescription(memory, "four.json", cameras(kCameras, rate));
        const Child memoryRun = run({aikhost, "--sim-config", four.string(), "--json", "record", "-a", "-t",
                                     std::to_string(seconds), "-o", (memory / "rec").string()},
                                    memory / "record.json");

        const Totals inMemory = totalsOf(memoryRun.out);
        const double copy = memcpySeconds();
        fs::remove_all(memory / "rec");

        const fs::path one = writeDescription(memory, "one.json", cameras(1, 1000));
        const Child diskRun = run({aikhost, "--sim-config", one.string(), "--json", "record", "-t",
                                   std::to_string(seconds), "-o", (disk / "rec.tif").string()},
                                  memory / "disk.json");
        const Totals onDisk = totalsOf(diskRun.out);
        const double recordedBytes = static_cast<double>(fs::file_size(disk / "rec.tif"));
        fs::remove(disk / "rec.tif");
        const auto ddMiB = static_cast<int>(std::max(64.0, recordedBytes / (1 << 20)));
        const Child dd = run({"/bin/dd", "if=/dev/zero", "of=" + (disk / "dd.bin").string(), "bs=1M",
                              "count=" + std::to_string(ddMiB), "conv=fdatasync"},
                             memory / "dd.txt");
        fs::remove(disk / "dd.bin");
        fs::remove_all(memory);

        const double perImage =
            memoryRun.cpuSeconds / static_cast<double>(std::max<uint64_t>(inMemory.delivered, 1));
        const double recordRate = recordedBytes / diskRun.wallSeconds;
        const double ddRate = ddMiB * double(1 << 20) / dd.wallSeconds;
        const double offered = static_cast<double>(onDisk.delivered + onDisk.lost + onDisk.dropped) *
                               kImageBytes / onDisk.seconds;
        std::printf(
            "Four simulated 1280x1024 Mono8 cameras, %.0f images/s asked of each; %.0f s per run.\n\n",
            kAskedRate, seconds);
        std::printf("| figure | value | reference | ratio |\n|---|---|---|---|\n");
        std::printf(
            "| simulator alone, 4 cameras, nobody taking images | %.0f images/s | %.0f asked | %.2f× |\n",
            ceiling, kCameras * kAskedRate, ceiling / (kCameras * kAskedRate));
        std::printf("| record into /dev/shm at %.0f images/s a camera: recorded / lost / dropped | %llu / "
                    "%llu / %llu "
                    "| %.0f images/s asked | %.2f× |\n",
                    rate, static_cast<unsigned long long>(inMemory.delivered),
                    static_cast<unsigned long long>(inMemory.lost),
                    static_cast<unsigned long long>(inMemory.dropped), kCameras * rate,
                    static_cast<double>(inMemory.delivered) / inMemory.seconds / (kCameras * rate));
        std::printf(
            "| aikhost CPU per image recorded (simulator's rendering included) | %s | memcpy of one image "
            "%s | %.1f× |\n",
            format("%.0f µs", perImage * 1e6).c_str(), format("%.0f µs", copy * 1e6).c_str(),
            perImage / copy);
        std::printf("| record one camera at its highest rate to %s: bytes/s, start to file synced | %s | dd "
                    "conv=fdatasync %s | %.2f× |\n",
                    disk.c_str(), format("%.0f MB/s", recordRate / 1e6).c_str(),
                    format("%.0f MB/s", ddRate / 1e6).c_str(), recordRate / ddRate);
        std::printf("| the same run: lost / dropped, of what the camera offered (%s) | %llu / %llu | | |\n",
                    format("%.0f MB/s", offered / 1e6).c_str(), static_cast<unsigned long long>(onDisk.lost),
                    static_cast<unsigned long long>(onDisk.dropped));
#ifdef AIK_RECORD_BENCH_GENICAM
        try {
            emulatorRow(aikhost, disk, seconds);
        } catch (const std::exception& error) {
            std::printf("| GigE Vision emulator recorded | not measured: %s | | |\n", error.what());
        }
#endif
    } catch (const std::exception& error) {
        std::fprintf(stderr, "aik_record_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
