// The table of result codes and their messages.
#include "camera/result_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct ResultEntry {
    PvxStatus code;
    const char* message;
};

// Sorted by code, for a binary search.
constexpr ResultEntry kResults[] = {
    {PVX_ERR_NOT_INITIALIZED, "NOT INITIALIZE."},
    {PVX_ERR_ALREADY_INITIALIZED, "ALREADY INITIALIZE."},
    {PVX_ERR_NOT_FOUND, "NOT FOUND."},
    {PVX_ERR_ALREADY_OPENED, "ALREADY OPENED."},
    {PVX_ERR_ALREADY_ACTIVATED, "ALREADY ACTIVATED."},
    {PVX_ERR_INVALID_CAMERA_INDEX, "INVALID CAMERA INDEX."},
    {PVX_ERR_INVALID_CAMERA_HANDLE, "INVALID CAMERA HANDLE."},
    {PVX_ERR_INVALID_NODE_HANDLE, "INVALID NODE HANDLE."},
    {PVX_ERR_INVALID_STREAM_HANDLE, "INVALID STREAM HANDLE."},
    {PVX_ERR_INVALID_REQUEST_HANDLE, "INVALID REQUEST HANDLE."},
    {PVX_ERR_INVALID_EVENT_HANDLE, "INVALID EVENT HANDLE."},
    {PVX_ERR_INVALID_IMAGE_HANDLE, "INVALID IMAGE HANDLE."},
    {PVX_ERR_INVALID_PARAMETER, "INVALID PARAMETER."},
    {PVX_ERR_BUFFER_TOO_SMALL, "BUFFER TOO SMALL."},
    {PVX_ERR_NO_MEMORY, "NO MEMORY."},
    {PVX_ERR_MEMORY_NO_ACCESS, "MEMORY NO ACCESS."},
    {PVX_ERR_NOT_IMPLEMENTED, "NOT IMPLEMENTED."},
    {PVX_ERR_TIMEOUT, "TIMEOUT."},
    {PVX_ERR_CAMERA_NOT_RESPONDING, "CAMERA NOT RESPONDING."},
    {PVX_ERR_EMPTY_COMPLETE_QUEUE, "EMPTY COMPLETE QUEUE."},
    {PVX_ERR_NOT_READY, "NOT READY."},
    {PVX_ERR_ACCESS_MODE_SET, "ACCESS MODE SET ERROR."},
    {PVX_ERR_XML_LOAD, "XML LOAD ERROR."},
    {PVX_ERR_GENICAM, "GENICAM ERROR."},
    {PVX_ERR_DLL_LOAD, "DLL LOAD ERROR."},
    {PVX_ERR_INVALID_ADDRESS, "INVALID ADDRESS."},
    {PVX_ERR_WRITE_PROTECT, "WRITE PROTECT."},
    {PVX_ERR_BAD_ALIGNMENT, "BAD ALIGNMENT."},
    {PVX_ERR_ACCESS_DENIED, "ACCESS DENIED."},
    {PVX_ERR_BUSY, "BUSY."},
    {PVX_ERR_NOT_READABLE, "NOT READABLE."},
    {PVX_ERR_NOT_WRITABLE, "NOT WRITABLE."},
    {PVX_ERR_NOT_AVAILABLE, "NOT AVAILABLE."},
    {PVX_ERR_REQUEST_TIMEOUT, "REQUEST TIMEOUT."},
    {PVX_ERR_RESEND_TIMEOUT, "RESEND TIMEOUT."},
    {PVX_ERR_RESPONSE_TIMEOUT, "RESPONSE TIMEOUT."},
    {PVX_ERR_BUFFER_FULL, "BUFFER FULL."},
    {PVX_ERR_UNEXPECTED_BUFFER_SIZE, "UNEXPECTED BUFFER SIZE."},
    {PVX_ERR_UNEXPECTED_NUMBER, "UNEXPECTED NUMBER."},
    {PVX_ERR_PACKET_STATUS, "PACKET STATUS ERROR."},
    {PVX_ERR_RESEND_NOT_IMPLEMENTED, "RESEND NOT IMPLEMENTED."},
    {PVX_ERR_PACKET_UNAVAILABLE, "PACKET UNAVAILABLE."},
    {PVX_ERR_MISSING_PACKETS, "MISSING PACKETS."},
    {PVX_ERR_FLUSH_REQUESTED, "FLUSH REQUESTED."},
    {PVX_ERR_TOO_MANY_PACKET_MISSING, "TOO MANY PACKET MISSING."},
    {PVX_ERR_FLUSHED_BY_D0EXIT, "FLUSHED BY D0EXIT."},
    {PVX_ERR_FLUSHED_BY_CAMERA_REMOVE, "FLUSHED BY CAMERA REMOVE."},
    {PVX_ERR_DRIVER_LOAD, "DRIVER LOAD ERR."},
    {PVX_ERR_FILE_OPEN, "FILE OPEN ERROR."},
    {PVX_ERR_FILE_WRITE, "FILE WRITE ERROR."},
    {PVX_ERR_FILE_READ, "FILE READ ERROR."},
    {PVX_ERR_FILE_NOT_FOUND, "FILE NOT FOUND."},
    {PVX_ERR_DATA_DISCARDED, "DATA DISCARDED."},
    {PVX_ERR_UNSUCCESSFUL, "UNSUCCESSFUL."},
};

constexpr bool SortedByCode() {
    for (size_t i = 1; i < std::size(kResults); ++i)
        if (kResults[i - 1].code >= kResults[i].code)
            return false;
    return true;
}
static_assert(SortedByCode(), "the result table must stay sorted by code");

} // namespace

const char* ResultMessage(PvxStatus code) {
    if (code == PVX_OK)
        return "";
    auto it = std::lower_bound(std::begin(kResults), std::end(kResults), code,
                               [](const ResultEntry& entry, PvxStatus c) { return entry.code < c; });
    return it != std::end(kResults) && it->code == code ? it->message : "ILLEGAL ERR.";
}

void SetResultText(char* errText, PvxStatus code) {
    if (errText == nullptr)
        return;
    const char* message = ResultMessage(code);
    size_t length = std::min(strlen(message), kResultTextBytes - 1);
    memcpy(errText, message, length);
    errText[length] = '\0';
}
