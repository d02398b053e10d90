// The terminal's reader over libedit's readline interface: it keeps one global line
// buffer, so the completer in use is the one the latest reader was given.
#include "host/cli/line_reader.h"

#include <editline/readline.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace aikhost {

namespace {

// Lines kept in the history file.
constexpr int kHistoryLines = 1000;

Completer g_completer;
std::vector<std::string> g_matches;

// readline's generator: the matches one by one, each in memory it frees.
char* nextMatch(const char*, int state) {
    static std::size_t index = 0;
    if (state == 0)
        index = 0;
    return index < g_matches.size() ? strdup(g_matches[index++].c_str()) : nullptr;
}

char** completeWord(const char* word, int start, int) {
    rl_attempted_completion_over = 1; // no file names when nothing matches
    g_matches = g_completer ? g_completer(std::string(rl_line_buffer, static_cast<std::size_t>(start)), word)
                            : std::vector<std::string>();
    return g_matches.empty() ? nullptr : rl_completion_matches(word, nextMatch);
}

class LineEditor final : public LineReader {
public:
    LineEditor(std::string prompt, std::string historyFile, Completer completer)
        : m_prompt(std::move(prompt)), m_historyFile(std::move(historyFile)) {
        g_completer = std::move(completer);
        rl_readline_name = "aikhost";
        rl_outstream = stderr;
        rl_attempted_completion_function = completeWord;
        stifle_history(kHistoryLines);
        if (!m_historyFile.empty())
            read_history(m_historyFile.c_str());
    }

    // The history is written beside its file and renamed over it: a history the user
    // has is replaced whole or not at all.
    ~LineEditor() override {
        if (m_historyFile.empty())
            return;
        const std::string written = m_historyFile + ".new";
        std::error_code error;
        if (write_history(written.c_str()) == 0)
            std::filesystem::rename(written, m_historyFile, error);
        else
            std::filesystem::remove(written, error);
    }

    bool next(std::string& line) override {
        char* typed = readline(m_prompt.c_str());
        if (typed == nullptr)
            return false;
        line = typed;
        std::free(typed);
        if (line.find_first_not_of(" \t") != std::string::npos && (history_length == 0 || line != m_last))
            add_history(line.c_str());
        m_last = line;
        return true;
    }

private:
    std::string m_prompt;
    std::string m_historyFile;
    std::string m_last;
};

} // namespace

std::unique_ptr<LineReader> terminalReader(const std::string& prompt, const std::string& historyFile,
                                           Completer completer) {
    return std::make_unique<LineEditor>(prompt, historyFile, std::move(completer));
}

} // namespace aikhost
