// The shell's input: typed at a terminal with line editing, history kept between
// sessions and tab completion where the build has libedit, read line by line from a
// script or a pipe otherwise.
#ifndef AIKHOST_LINE_READER_H
#define AIKHOST_LINE_READER_H

#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace aikhost {

// The words that may complete word, the last one of what stands before the cursor.
using Completer = std::function<std::vector<std::string>(const std::string& before, const std::string& word)>;

class LineReader {
public:
    virtual ~LineReader() = default;
    // The next line without its end; false at the end of the input.
    virtual bool next(std::string& line) = 0;
};

// A terminal's reader: prompt on standard error, editing, history in historyFile
// (none when empty) and completion. Plain reading of standard input where the build
// has no line editor.
std::unique_ptr<LineReader> terminalReader(const std::string& prompt, const std::string& historyFile,
                                           Completer completer);
// Plain reading of input (a script, a pipe), no prompt.
std::unique_ptr<LineReader> streamReader(std::istream& input);

} // namespace aikhost

#endif
