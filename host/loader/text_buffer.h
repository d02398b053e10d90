// A host-owned 256-byte text buffer as the module's slots receive it.
#ifndef AIKHOST_TEXT_BUFFER_H
#define AIKHOST_TEXT_BUFFER_H

#include "host/loader/slot_result.h"

#include <cstring>
#include <string>

namespace aikhost {

struct TextBuffer {
    char bytes[kTextBufferBytes] = {};

    // The text up to the first NUL; a module that forgot the NUL yields all 256 bytes.
    std::string str() const { return std::string(bytes, strnlen(bytes, sizeof bytes)); }
};

} // namespace aikhost

#endif
