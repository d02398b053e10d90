// Aravis's GigE Vision camera emulator as a child process on 127.0.0.1, described by
// the tests' GenICam file; stopped by its process id.
#ifndef AIKTEST_ARAVIS_EMULATOR_H
#define AIKTEST_ARAVIS_EMULATOR_H

#include <csignal>
#include <string>
#include <sys/types.h>

namespace aiktest {

class GigeEmulator {
public:
    GigeEmulator() = default;
    ~GigeEmulator() { stop(); }
    GigeEmulator(const GigeEmulator&) = delete;
    GigeEmulator& operator=(const GigeEmulator&) = delete;

    // Starts it and waits, at most a few seconds, until it answers a discovery sent
    // to 127.0.0.1; false with why() telling the reason otherwise. It loses
    // lostPerThousand of its image packets (its option -r).
    bool start(const std::string& genicamFile, int lostPerThousand = 0);
    bool running() const { return m_pid > 0; }
    // Sends signal (SIGSTOP, SIGCONT) to the emulator, as a camera that freezes and resumes.
    void send(int signal) const;
    // Ends it with signal and waits for it: SIGTERM, or SIGKILL for a camera that dies.
    void stop(int signal = SIGTERM);
    const std::string& why() const { return m_why; }

private:
    pid_t m_pid = -1;
    std::string m_why;
};

} // namespace aiktest

#endif
