// Aravis's GError as the last error.
#include "aravis/core/last_error.h"
#include "camlib/last_error.h"

#include <arv.h>

namespace arv_backend {

PvxStatus FromError(GError* error, const std::string& what) {
    if (!error)
        return PVX_OK;
    const std::string message = error->message ? error->message : "unknown failure";
    // Aravis answers a request the camera never acknowledged, after its resends, with
    // a time-out: the camera stopped answering, whatever the request was.
    const bool timedOut = g_error_matches(error, ARV_DEVICE_ERROR, ARV_DEVICE_ERROR_TIMEOUT);
    g_error_free(error);
    if (timedOut)
        return camlib::Fail(PVX_ERR_CAMERA_NOT_RESPONDING,
                            what + ": the camera stopped answering (" + message + ")");
    return camlib::Fail(PVX_ERR_GENICAM, what + ": " + message);
}

} // namespace arv_backend
