// Aravis's GError as the last error.
#include "aravis/core/last_error.h"
#include "camlib/last_error.h"

namespace arv_backend {

PvxStatus FromError(GError* error, const std::string& what) {
    if (!error)
        return PVX_OK;
    const std::string message = error->message ? error->message : "unknown failure";
    g_error_free(error);
    return camlib::Fail(PVX_ERR_GENICAM, what + ": " + message);
}

} // namespace arv_backend
