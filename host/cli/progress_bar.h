// A progress line on a terminal: images done, images/s and the time left. Shown only
// when standard error is a terminal that is not TERM=dumb.
#ifndef AIKHOST_PROGRESS_BAR_H
#define AIKHOST_PROGRESS_BAR_H

#include <chrono>
#include <string>

namespace aikhost {

bool progressWanted();

class ProgressBar {
public:
    ProgressBar(int total, std::string label);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // done images so far, and how far the current one is (0..1) for large images.
    void update(int done, double partial = 0, const char* stage = "");

private:
    using Clock = std::chrono::steady_clock;
    int m_total;
    std::string m_label;
    bool m_shown;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_drawn{};
};

} // namespace aikhost

#endif
