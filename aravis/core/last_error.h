// The last failure's text is kept as the simulator keeps it (one process-wide text,
// written by Fail); what this library adds is turning Aravis's errors into it.
#pragma once

#include "camera/quorvex_api.h"
#include "sim/core/last_error.h"
#include "sim/core/text_out.h"

#include <glib.h>

#include <string>

namespace arv_backend {

using sim::CopyText;
using sim::CopyTextSized;
using sim::Fail;
using sim::FormatNumber;
using sim::LastErrorText;

// 0 without an error; otherwise records "<what>: <Aravis's message>", frees the error
// and returns 258, the status of every GenICam failure.
PvxStatus FromError(GError* error, const std::string& what);

inline PvxStatus NullArgument(const char* name) {
    return Fail(PVX_ERR_INVALID_PARAMETER, std::string(name) + " is null");
}

} // namespace arv_backend
