// Starting the emulator with posix_spawn and probing it with a GVCP discovery command
// on its control port: the one packet this file sends, to 127.0.0.1 only.
#include "tests/aravis/emulator.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <iterator>

extern char** environ;

namespace aiktest {

namespace {

constexpr uint16_t kGvcpPort = 3956;
constexpr int kProbeAttempts = 40;
constexpr int kProbeWaitMs = 100;

// Whether a GigE Vision device on 127.0.0.1 answers a discovery within kProbeWaitMs.
bool answersDiscovery() {
    const int sock = socket(AF_INET, SOCK_DGRAM, 0);
    if (sock < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kGvcpPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Key 0x42, acknowledge wanted; DISCOVERY_CMD; no payload; request id 1.
    const std::array<uint8_t, 8> discovery = {0x42, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01};
    pollfd waiting{sock, POLLIN, 0};
    std::array<uint8_t, 512> reply{};
    const bool answered =
        sendto(sock, discovery.data(), discovery.size(), 0, reinterpret_cast<const sockaddr*>(&address),
               sizeof address) == static_cast<ssize_t>(discovery.size()) &&
        poll(&waiting, 1, kProbeWaitMs) == 1 && recv(sock, reply.data(), reply.size(), 0) > 0;
    close(sock);
    return answered;
}

} // namespace

bool GigeEmulator::start(const std::string& genicamFile, int lostPerThousand) {
    if (answersDiscovery()) {
        m_why = "another GigE Vision device already answers on 127.0.0.1";
        return false;
    }
    const std::string program = "arv-fake-gv-camera-0.8";
    // Killed with the test even when ctest kills the test first (a time-out): a
    // leftover emulator would hold the port and answer the next test's discovery.
    std::string words[] = {"setpriv",   "--pdeathsig", "KILL",      program, "-i",
                           "127.0.0.1", "-g",          genicamFile, "-r",    std::to_string(lostPerThousand)};
    char* arguments[std::size(words) + 1] = {};
    for (size_t i = 0; i < std::size(words); ++i)
        arguments[i] = words[i].data();
    if (posix_spawnp(&m_pid, words[0].c_str(), nullptr, nullptr, arguments, environ) != 0) {
        m_pid = -1;
        m_why = program + " cannot be started (package aravis-tools)";
        return false;
    }
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
        if (answersDiscovery())
            return true;
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            m_why = program + " exited at once (is 127.0.0.1:3956 taken?)";
            return false;
        }
    }
    stop();
    m_why = program + " did not answer on 127.0.0.1 within " + std::to_string(kProbeAttempts * kProbeWaitMs) +
            " ms";
    return false;
}

void GigeEmulator::send(int signal) const {
    if (m_pid > 0)
        kill(m_pid, signal);
}

void GigeEmulator::stop(int signal) {
    if (m_pid <= 0)
        return;
    kill(m_pid, signal);
    // A stopped emulator takes no signal but SIGKILL until it runs again.
    kill(m_pid, SIGCONT);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace aiktest
