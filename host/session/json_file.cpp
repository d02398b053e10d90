#include "host/session/json_file.h"

#include "host/session/host_failure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace aikhost {

namespace {

constexpr std::size_t kReadBlockBytes = 65536;

// The deepest nesting of arrays and objects, strings passed over, measured before the
// parser meets it. The parser takes the text without a callback, whose clean-up scans
// each array at every object's end and so would take quadratic time on a long one.
int nestingDepth(const std::string& text) {
    int depth = 0, deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inString && text[i] == '\\') {
            ++i; // the escaped character belongs to the string
        } else if (inString) {
            inString = text[i] != '"';
        } else if (text[i] == '"') {
            inString = true;
        } else if (text[i] == '[' || text[i] == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (text[i] == ']' || text[i] == '}') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

nlohmann::json readJsonFile(const std::string& path, const JsonFileLimits& limits) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw HostFailure(FailureKind::Usage, path + ": cannot be read: " + std::strerror(errno));
    const auto beyond = [&path, &limits](const std::string& what) {
        return HostFailure(FailureKind::Usage,
                           path + ": " + what + ", the most " + limits.kind + " may hold");
    };
    std::string text;
    std::vector<char> block(kReadBlockBytes);
    do {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        text.append(block.data(), static_cast<std::size_t>(file.gcount()));
        if (text.size() > limits.maxBytes)
            throw beyond("larger than " + std::to_string(limits.maxBytes >> 20) + " MiB");
    } while (file);
    if (file.bad())
        throw HostFailure(FailureKind::Usage, path + ": cannot be read: " + std::strerror(errno));
    if (nestingDepth(text) > limits.maxNesting)
        throw beyond("nested deeper than " + std::to_string(limits.maxNesting) +
                     " levels of arrays and objects");
    nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded())
        throw HostFailure(FailureKind::Usage, path + ": not valid JSON");
    return document;
}

} // namespace aikhost
