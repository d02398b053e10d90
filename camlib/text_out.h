// Writing texts into callers' buffers: whole or not at all.
#pragma once

#include "camlib/last_error.h"

#include <cstring>
#include <string>

namespace camlib {

// Writes text and its NUL into out, which holds capacity bytes; PVX_ERR_BUFFER_TOO_SMALL
// when it does not fit.
inline PvxStatus CopyText(const std::string& text, char* out, uint32_t capacity) {
    if (text.size() + 1 > capacity)
        return Fail(PVX_ERR_BUFFER_TOO_SMALL, "a buffer of " + std::to_string(capacity) +
                                                  " bytes cannot hold the " +
                                                  std::to_string(text.size() + 1) + " bytes of the text");
    std::memcpy(out, text.c_str(), text.size() + 1);
    return PVX_OK;
}

// As CopyText with size in: the capacity, out: the bytes written including the NUL.
inline PvxStatus CopyTextSized(const std::string& text, char* out, uint32_t& size) {
    const PvxStatus status = CopyText(text, out, size);
    if (status == PVX_OK)
        size = static_cast<uint32_t>(text.size() + 1);
    return status;
}

} // namespace camlib
