// The writers by extension: a new format is its own file and a row here.
#include "host/cli/image_writer.h"

#include <algorithm>
#include <cctype>

namespace aikhost {

// Each defined in its format's own file.
const ImageWriter& pngWriter();

namespace {

struct FormatEntry {
    const char* extension; // lower case, without the dot
    const ImageWriter& (*writer)();
};

const FormatEntry kFormats[] = {
    {"png", pngWriter},
};

} // namespace

const ImageWriter* writerFor(const std::string& extension) {
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatEntry& entry : kFormats) {
        if (lower == entry.extension)
            return &entry.writer();
    }
    return nullptr;
}

std::string knownExtensions() {
    std::string list;
    for (const FormatEntry& entry : kFormats)
        list += (list.empty() ? "." : ", .") + std::string(entry.extension);
    return list;
}

} // namespace aikhost
