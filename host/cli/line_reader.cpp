// Plain reading, shared by every build: scripts and pipes need no editor.
#include "host/cli/line_reader.h"

namespace aikhost {

namespace {

class StreamReader final : public LineReader {
public:
    explicit StreamReader(std::istream& input) : m_input(input) {}
    bool next(std::string& line) override { return static_cast<bool>(std::getline(m_input, line)); }

private:
    std::istream& m_input;
};

} // namespace

std::unique_ptr<LineReader> streamReader(std::istream& input) {
    return std::make_unique<StreamReader>(input);
}

} // namespace aikhost
