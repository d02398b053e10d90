// Last error text under its own lock: the stream thread never writes it, every export may.
#include "aravis/core/last_error.h"

#include <cstring>
#include <mutex>

namespace arv_backend {

namespace {

std::mutex g_errorMutex;
std::string g_lastError;

} // namespace

std::string LastErrorText() {
    std::lock_guard<std::mutex> lock(g_errorMutex);
    return g_lastError;
}

PvxStatus Fail(PvxStatus status, const std::string& reason) {
    std::lock_guard<std::mutex> lock(g_errorMutex);
    g_lastError = reason;
    return status;
}

PvxStatus FromError(GError* error, const std::string& what) {
    if (!error)
        return PVX_OK;
    const std::string message = error->message ? error->message : "unknown failure";
    g_error_free(error);
    return Fail(PVX_ERR_GENICAM, what + ": " + message);
}

PvxStatus CopyText(const std::string& text, char* out, uint32_t capacity) {
    if (text.size() + 1 > capacity)
        return Fail(PVX_ERR_BUFFER_TOO_SMALL, "a buffer of " + std::to_string(capacity) +
                                                  " bytes cannot hold the " +
                                                  std::to_string(text.size() + 1) + " bytes of the text");
    std::memcpy(out, text.c_str(), text.size() + 1);
    return PVX_OK;
}

PvxStatus CopyTextSized(const std::string& text, char* out, uint32_t& size) {
    const PvxStatus status = CopyText(text, out, size);
    if (status == PVX_OK)
        size = static_cast<uint32_t>(text.size() + 1);
    return status;
}

} // namespace arv_backend
