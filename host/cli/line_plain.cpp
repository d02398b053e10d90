// The terminal's reader where the build has no line editor (the Windows build): the
// prompt on standard error and plain lines.
#include "host/cli/line_reader.h"

#include <iostream>

namespace aikhost {

namespace {

class PromptReader final : public LineReader {
public:
    explicit PromptReader(std::string prompt)
        : m_prompt(std::move(prompt)), m_lines(streamReader(std::cin)) {}
    bool next(std::string& line) override {
        std::cerr << m_prompt << std::flush;
        return m_lines->next(line);
    }

private:
    std::string m_prompt;
    std::unique_ptr<LineReader> m_lines;
};

} // namespace

std::unique_ptr<LineReader> terminalReader(const std::string& prompt, const std::string&, Completer) {
    return std::make_unique<PromptReader>(prompt);
}

} // namespace aikhost
