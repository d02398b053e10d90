// Redrawn at most ten times a second, in place with a carriage return.
#include "host/cli/progress_bar.h"

#include "host/loader/host_os.h"

#include <cstdio>
#include <iostream>

namespace aikhost {

bool progressWanted() {
    return stderrIsTerminal() && environmentValue("TERM") != "dumb";
}

ProgressBar::ProgressBar(int total, std::string label)
    : m_total(total), m_label(std::move(label)), m_shown(progressWanted()) {}

ProgressBar::~ProgressBar() {
    if (m_shown && m_drawn != Clock::time_point{})
        std::cerr << '\n';
}

void ProgressBar::update(int done, double partial, const char* stage) {
    const auto now = Clock::now();
    if (!m_shown || (done < m_total && now - m_drawn < std::chrono::milliseconds(100)))
        return;
    m_drawn = now;
    constexpr int kWidth = 30;
    const double progress = m_total > 0 ? (done + partial) / m_total : 1.0;
    const int filled = static_cast<int>(progress * kWidth);
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double rate = seconds > 0 ? done / seconds : 0;
    const double left = progress > 0 ? seconds / progress - seconds : 0;
    char figures[96];
    std::snprintf(figures, sizeof figures, " %d/%d  %.1f images/s  ETA %.0f s %s", done, m_total, rate, left,
                  stage);
    std::cerr << '\r' << m_label << " [" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "]" << figures << "\033[K"
              << std::flush;
}

} // namespace aikhost
