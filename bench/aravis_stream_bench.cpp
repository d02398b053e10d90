// Streaming over loopback GigE Vision: the module over the Aravis camera library, with
// each buffer handling, beside Aravis's own arv-camera-test-0.8, on one emulator at
// 127.0.0.1 in the same run, at 640x480 and 1280x1024. Prints images/s, lost images and
// CPU for each as a Markdown table. A program, not a test: figures go into
// bench/REPORT.md.
//
//   aik_aravis_stream_bench [seconds per run, default 5] [images/s, default 100]
#include "host/loader/video_module.h"
#include "tests/aravis/emulator.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Size {
    int width, height;
};
const Size kSizes[] = {{640, 480}, {1280, 1024}};

struct RunResult {
    double imagesPerSecond = 0;
    long lost = 0;
    double cpuPercent = 0;  // of one core, over the run's wall time
    double copyPercent = 0; // of the wall time spent in GetImage (the host's copy)
    std::string note;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double CpuSeconds(const rusage& usage) {
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// arv-camera-test-0.8 for the run's length; its CPU from wait4, its counts from its report.
RunResult RunArvCameraTest(const Size& size, int seconds, int rate) {
    RunResult result;
    int out[2];
    if (pipe(out) != 0)
        return result;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string w = std::to_string(size.width), h = std::to_string(size.height),
                          f = std::to_string(rate), d = std::to_string(seconds);
        execlp("arv-camera-test-0.8", "arv-camera-test-0.8", "-n", "127.0.0.1", "-f", f.c_str(), "-w",
               w.c_str(), "-h", h.c_str(), "-e", "10000", "--duration", d.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string report;
    char chunk[4096];
    for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) > 0;)
        report.append(chunk, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::map<std::string, long> counts;
    for (const char* name : {"n_completed_buffers", "n_failures", "n_underruns", "n_missing_frames"}) {
        const size_t at = report.find(name);
        counts[name] = at == std::string::npos ? -1 : std::atol(report.c_str() + report.find('=', at) + 1);
    }
    if (counts["n_completed_buffers"] < 0) {
        result.note = "arv-camera-test-0.8 gave no report";
        return result;
    }
    // Its duration includes opening the camera; the rate is over the streaming time.
    result.imagesPerSecond = static_cast<double>(counts["n_completed_buffers"]) / seconds;
    result.lost = counts["n_failures"] + counts["n_underruns"] + counts["n_missing_frames"];
    result.cpuPercent = 100 * CpuSeconds(usage) / wall;
    return result;
}

// The module as a host drives it: WaitForIntegration, GetImage into the host's buffer.
// Lost images come from the fake camera's pattern, whose first pixel is the frame
// counter modulo 255 at 10 ms exposure and gain 0: a jump of more than one frame.
RunResult RunModule(const Size& size, int seconds, int rate, const char* handling) {
    RunResult result;
    aikhost::VideoModule module(aikhost::VideoModule::defaultPath());
    aikhost::Enumeration enumeration = module.enumerate();
    if (enumeration.channels.empty()) {
        result.note = "no channel: " + enumeration.errText;
        return result;
    }
    const aikhost::Channel& channel = enumeration.channels.front();
    channel.writeValue("PixelFormat", "Mono8");
    channel.writeValue("AcquisitionFrameRate", std::to_string(rate));
    const aikhost::SlotResult handled = channel.writeValue("StreamBufferHandlingMode", handling);
    if (!handled.ok()) {
        result.note = std::string("StreamBufferHandlingMode ") + handling + ": " + handled.errText;
        return result;
    }
    CommonParamsRecord params{};
    params.exposure = 0.01;
    params.acqContinuous = 1;
    params.roiwidth = size.width;
    params.roiheight = size.height;
    aikhost::SlotResult setup = channel.setupCommonParams(params);
    if (!setup.ok()) {
        result.note = "SetupCommonParams: " + setup.errText;
        return result;
    }
    std::vector<uint8_t> image(static_cast<size_t>(size.width) * size.height);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    if (!channel.startAcquisition().ok()) {
        result.note = "StartAcquisition failed";
        return result;
    }
    long images = 0;
    int previous = -1;
    Clock::time_point first{};
    Clock::time_point last{};
    Clock::duration inGetImage{};
    const auto end = start + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        if (channel.waitForIntegration().acqResult != AIK_ACQ_DONE)
            continue;
        const auto fetch = Clock::now();
        const bool delivered = channel.getImage(image.data()).ok();
        last = Clock::now();
        inGetImage += last - fetch;
        if (!delivered)
            continue;
        if (images++ == 0)
            first = last;
        if (previous >= 0)
            result.lost += (image[0] - previous + 255) % 255 - 1;
        previous = image[0];
    }
    channel.stopAcquisition();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    channel.releaseVideoChannel();
    // Over the images' own span, as arv-camera-test counts after its start.
    const double span = std::chrono::duration<double>(last - first).count();
    result.imagesPerSecond = images > 1 ? static_cast<double>(images - 1) / span : 0;
    result.copyPercent = 100 * std::chrono::duration<double>(inGetImage).count() / wall;
    result.cpuPercent = 100 * (CpuSeconds(after) - CpuSeconds(before)) / wall;
    return result;
}

// The camera library is chosen by the loader: point it at bin/aravis and start again.
void UseAravisLibraries(char** argv) {
    const std::string folder = aikhost::VideoModule::defaultPath();
    const std::string aravis = folder.substr(0, folder.find_last_of('/')) + "/aravis";
    const char* current = std::getenv("LD_LIBRARY_PATH");
    if (current && std::string(current).find(aravis) == 0)
        return;
    setenv("LD_LIBRARY_PATH", aravis.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("re-executing with LD_LIBRARY_PATH");
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    UseAravisLibraries(argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 100;
    aiktest::GigeEmulator emulator;
    if (!emulator.start(AIK_BENCH_ARAVIS_GENICAM)) {
        std::fprintf(stderr, "aik_aravis_stream_bench: %s\n", emulator.why().c_str());
        return 1;
    }
    setenv("QUORVEX_ARAVIS_CAMERAS", "127.0.0.1", 1);
    std::printf("Loopback GigE Vision, %d images/s asked, %d s per run, Mono8\n\n", rate, seconds);
    std::printf("| Size | Client | Images/s | Lost | CPU %% of a core | In GetImage %% |\n"
                "|---|---|---|---|---|---|\n");
    for (const Size& size : kSizes) {
        const RunResult newest = RunModule(size, seconds, rate, "NewestOnly");
        const RunResult oldest = RunModule(size, seconds, rate, "OldestFirst");
        const RunResult tool = RunArvCameraTest(size, seconds, rate);
        for (const auto& [client, run] :
             {std::pair<const char*, const RunResult&>{"module, NewestOnly", newest},
              std::pair<const char*, const RunResult&>{"module, OldestFirst", oldest},
              std::pair<const char*, const RunResult&>{"arv-camera-test-0.8", tool}})
            std::printf("| %dx%d | %s | %.1f | %ld | %.1f | %.1f |%s%s\n", size.width, size.height, client,
                        run.imagesPerSecond, run.lost, run.cpuPercent, run.copyPercent,
                        run.note.empty() ? "" : " ", run.note.c_str());
    }
    return 0;
}
