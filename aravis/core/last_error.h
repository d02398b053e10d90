// What this library adds to the base's last-error text: turning Aravis's errors into it.
#pragma once

#include "camera/quorvex_api.h"

#include <glib.h>

#include <string>

namespace arv_backend {

// PVX_OK without an error; otherwise records "<what>: <Aravis's message>", frees the
// error and returns PVX_ERR_GENICAM, the status of every GenICam failure, or
// PVX_ERR_CAMERA_NOT_RESPONDING for a request the camera left unanswered.
PvxStatus FromError(GError* error, const std::string& what);

} // namespace arv_backend
