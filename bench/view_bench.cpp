// The live view under load: aikhost view on a 1280x1024 Mono8 simulated camera at 100
// images/s, a client polling its image endpoint as the page does, then the same with
// stalled clients beside it. Prints a Markdown section for bench/REPORT.md: images/s
// the client receives beside the camera's rate, latency from GetImage's return to the
// client having the whole JPEG, aikhost's CPU share of a core (its process: the
// simulated camera renders in it too, so the run without a client is the reference),
// and whether stalled clients slow acquisition.
//
// usage: aik_view_bench [SECONDS per run, default 10]
#include "bench/percentile.h"
#include "host/loader/host_os.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCamera = R"({"cameras": [{"model": "SIM-BENCH", "sensorWidth": 1280,
    "sensorHeight": 1024, "pixelFormat": "Mono8", "frameRate": 100}]})";
constexpr int kStartupPolls = 100; // of 100 ms each
constexpr int kStalledPerSecond = 2;

// aikhost view as a child process on 127.0.0.1, stopped by its process id.
class ViewProcess {
public:
    ViewProcess(const std::string& aikhost, const std::string& cameras) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        std::vector<std::string> words = {aikhost, "--sim-config", cameras, "view", "--http", "127.0.0.1:0"};
        std::vector<char*> arguments;
        for (std::string& word : words)
            arguments.push_back(word.data());
        arguments.push_back(nullptr);
        const int spawned =
            posix_spawn(&m_pid, aikhost.c_str(), &actions, nullptr, arguments.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (spawned != 0)
            throw std::runtime_error(aikhost + " cannot be started");
        m_stderr = pipeEnds[0];
        readPort();
    }
    ~ViewProcess() {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        close(m_stderr);
    }
    ViewProcess(const ViewProcess&) = delete;
    ViewProcess& operator=(const ViewProcess&) = delete;

    int port() const { return m_port; }
    // User + system seconds the process has used so far.
    double cpuSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i >= 14)
                ticks += std::stod(field); // utime, stime
        }
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    void readPort() {
        std::string said;
        const std::regex address(R"(at http://127\.0\.0\.1:(\d+)/)");
        for (int poll = 0; poll < kStartupPolls; ++poll) {
            pollfd waiting{m_stderr, POLLIN, 0};
            std::array<char, 512> chunk{};
            if (::poll(&waiting, 1, 100) == 1) {
                const ssize_t got = read(m_stderr, chunk.data(), chunk.size());
                if (got <= 0)
                    break;
                said.append(chunk.data(), static_cast<std::size_t>(got));
            }
            std::smatch found;
            if (std::regex_search(said, found, address)) {
                m_port = std::stoi(found[1]);
                return;
            }
        }
        throw std::runtime_error("aikhost view did not say where it serves: " + said);
    }

    pid_t m_pid = -1;
    int m_stderr = -1;
    int m_port = 0;
};

// Connects to the view, asks for images and never reads the answers.
int stalledClient(int port) {
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    const int smallBuffer = 4096;
    setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &smallBuffer, sizeof smallBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        // The view answers only requests that name it with its port.
        const std::string request =
            "GET /image.jpg?after=0&wait=0 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
        for (int i = 0; i < 5; ++i)
            send(sock, request.data(), request.size(), MSG_NOSIGNAL);
    }
    return sock;
}

struct Run {
    std::string what;
    double cameraPerSecond = 0; // images GetImage delivered per second
    double clientPerSecond = 0;
    uint64_t lost = 0;
    std::vector<double> latencyMs;
    double cpuPercent = 0;
};

nlohmann::json figures(httplib::Client& client) {
    auto answer = client.Get("/figures");
    if (!answer || answer->status != 200)
        throw std::runtime_error("GET /figures failed");
    return nlohmann::json::parse(answer->body);
}

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

Run measure(const ViewProcess& view, const std::string& what, double seconds, bool polling, bool stalled) {
    httplib::Client client("127.0.0.1", view.port());
    client.set_keep_alive(true);
    Run run;
    run.what = what;
    const nlohmann::json before = figures(client);
    const double cpuBefore = view.cpuSeconds();
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<int> stalledSockets;
    auto nextStalled = start;
    uint64_t after = before["delivered"];
    std::size_t received = 0;
    while (Clock::now() < end) {
        if (stalled && Clock::now() >= nextStalled) {
            stalledSockets.push_back(stalledClient(view.port()));
            nextStalled += std::chrono::milliseconds(1000 / kStalledPerSecond);
        }
        if (!polling) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        auto image = client.Get(("/image.jpg?wait=1000&after=" + std::to_string(after)).c_str());
        if (!image || image->status != 200)
            continue;
        const int64_t arrived = nowNs();
        after = std::stoull(image->get_header_value("X-Image-Number"));
        run.latencyMs.push_back(
            static_cast<double>(arrived - std::stoll(image->get_header_value("X-Acquired-Ns"))) / 1e6);
        ++received;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = view.cpuSeconds() - cpuBefore;
    const nlohmann::json afterFigures = figures(client);
    for (int sock : stalledSockets)
        close(sock);
    run.cameraPerSecond =
        static_cast<double>(afterFigures["delivered"].get<uint64_t>() - before["delivered"].get<uint64_t>()) /
        wall;
    run.clientPerSecond = static_cast<double>(received) / wall;
    run.lost = afterFigures["lost"].get<uint64_t>() - before["lost"].get<uint64_t>();
    run.cpuPercent = 100 * cpu / wall;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::stod(argv[1]) : 10;
    const auto folder = std::filesystem::path(aikhost::executableDirectory());
    const auto cameras = std::filesystem::temp_directory_path() / "aik-view-bench-cameras.json";
    std::ofstream(cameras) << kCamera;
    try {
        ViewProcess view((folder / "aikhost").string(), cameras.string());
        std::this_thread::sleep_for(std::chrono::seconds(1)); // past the start of streaming
        std::vector<Run> runs = {
            measure(view, "no client (reference)", seconds, false, false),
            measure(view, "one polling client", seconds, true, false),
            measure(view, "polling client + stalled clients", seconds, true, true),
        };
        std::printf("| Run | Camera → host images/s | Client images/s | Lost | Latency p50 / p95 / max ms "
                    "| aikhost CPU %% of a core |\n|---|---|---|---|---|---|\n");
        for (Run& run : runs) {
            if (run.latencyMs.empty()) {
                std::printf("| %s | %.1f | – | %llu | – | %.1f |\n", run.what.c_str(), run.cameraPerSecond,
                            static_cast<unsigned long long>(run.lost), run.cpuPercent);
                continue;
            }
            std::printf("| %s | %.1f | %.1f | %llu | %.1f / %.1f / %.1f | %.1f |\n", run.what.c_str(),
                        run.cameraPerSecond, run.clientPerSecond, static_cast<unsigned long long>(run.lost),
                        aikbench::Percentile(run.latencyMs, 0.50), aikbench::Percentile(run.latencyMs, 0.95),
                        aikbench::Percentile(run.latencyMs, 1.0), run.cpuPercent);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "aik_view_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
