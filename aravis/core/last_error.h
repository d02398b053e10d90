// The process-wide text of the last failure, as pvxGetLastErrorText reports it, and
// the one way every failing path records it.
#pragma once

#include "camera/quorvex_api.h"

#include <glib.h>

#include <string>

namespace arv_backend {

std::string LastErrorText();

// Records reason as the last error and returns status.
PvxStatus Fail(PvxStatus status, const std::string& reason);

// 0 without an error; otherwise records "<what>: <Aravis's message>", frees the error
// and returns 258, the status of every GenICam failure.
PvxStatus FromError(GError* error, const std::string& what);

// Writes text and its NUL into out, which holds capacity bytes; 14 when it does not fit.
PvxStatus CopyText(const std::string& text, char* out, uint32_t capacity);
// As CopyText with size in: the capacity, out: the bytes written including the NUL.
PvxStatus CopyTextSized(const std::string& text, char* out, uint32_t& size);

inline PvxStatus NullArgument(const char* name) {
    return Fail(PVX_ERR_INVALID_PARAMETER, std::string(name) + " is null");
}

} // namespace arv_backend
