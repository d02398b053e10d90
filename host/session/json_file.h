// A JSON file read within limits of size and nesting, so that no file, however large
// or deep, costs all the memory or the stack.
#ifndef AIKHOST_JSON_FILE_H
#define AIKHOST_JSON_FILE_H

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>

namespace aikhost {

struct JsonFileLimits {
    std::size_t maxBytes;
    int maxNesting;   // levels of arrays and objects
    const char* kind; // what the file holds, for the messages: "a feature set"
};

// The document of the file at path; throws HostFailure (Usage) naming the file and
// the cause: unreadable, a limit passed (naming it), not valid JSON.
nlohmann::json readJsonFile(const std::string& path, const JsonFileLimits& limits);

} // namespace aikhost

#endif
