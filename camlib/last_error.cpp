// The last failure's text, shared by all threads of the process.
#include "camlib/last_error.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace camlib {

namespace {
std::mutex g_mutex;
std::string g_text;
thread_local Operation t_operation = Operation::Count;
} // namespace

void SetLastErrorText(std::string text) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_text = std::move(text);
}

std::string LastErrorText() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_text;
}

PvxStatus CopyLastErrorText(char* text, uint32_t* size) {
    if (!text || !size)
        return PVX_ERR_INVALID_PARAMETER;
    try {
        const std::string last = LastErrorText();
        if (last.size() + 1 > *size)
            return PVX_ERR_BUFFER_TOO_SMALL;
        std::memcpy(text, last.c_str(), last.size() + 1);
        *size = static_cast<uint32_t>(last.size() + 1);
        return PVX_OK;
    } catch (const std::bad_alloc&) {
        return PVX_ERR_NO_MEMORY;
    }
}

void SetCurrentOperation(Operation operation) {
    t_operation = operation;
}

PvxStatus Fail(PvxStatus status, const std::string& reason) {
    const std::string_view name =
        t_operation == Operation::Count ? "QuorvexApi64" : OperationName(t_operation);
    SetLastErrorText(std::string(name) + ": " + reason);
    return status;
}

std::string FormatNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace camlib
