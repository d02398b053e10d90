// The table of result codes and their messages.
#include "camera/result_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct ResultEntry {
    uint32_t code;
    const char* message;
};

// Sorted by code, for a binary search.
constexpr ResultEntry kResults[] = {
    {1, "NOT INITIALIZE."},
    {2, "ALREADY INITIALIZE."},
    {3, "NOT FOUND."},
    {4, "ALREADY OPENED."},
    {5, "ALREADY ACTIVATED."},
    {6, "INVALID CAMERA INDEX."},
    {7, "INVALID CAMERA HANDLE."},
    {8, "INVALID NODE HANDLE."},
    {9, "INVALID STREAM HANDLE."},
    {10, "INVALID REQUEST HANDLE."},
    {11, "INVALID EVENT HANDLE."},
    {12, "INVALID IMAGE HANDLE."},
    {13, "INVALID PARAMETER."},
    {14, "BUFFER TOO SMALL."},
    {15, "NO MEMORY."},
    {16, "MEMORY NO ACCESS."},
    {17, "NOT IMPLEMENTED."},
    {18, "TIMEOUT."},
    {19, "CAMERA NOT RESPONDING."},
    {20, "EMPTY COMPLETE QUEUE."},
    {21, "NOT READY."},
    {22, "ACCESS MODE SET ERROR."},
    {0x101, "XML LOAD ERROR."},
    {0x102, "GENICAM ERROR."},
    {0x103, "DLL LOAD ERROR."},
    {0x801, "INVALID ADDRESS."},
    {0x802, "WRITE PROTECT."},
    {0x803, "BAD ALIGNMENT."},
    {0x804, "ACCESS DENIED."},
    {0x805, "BUSY."},
    {0x806, "NOT READABLE."},
    {0x807, "NOT WRITABLE."},
    {0x808, "NOT AVAILABLE."},
    {0x1001, "REQUEST TIMEOUT."},
    {0x1002, "RESEND TIMEOUT."},
    {0x1003, "RESPONSE TIMEOUT."},
    {0x1004, "BUFFER FULL."},
    {0x1005, "UNEXPECTED BUFFER SIZE."},
    {0x1006, "UNEXPECTED NUMBER."},
    {0x1007, "PACKET STATUS ERROR."},
    {0x1008, "RESEND NOT IMPLEMENTED."},
    {0x1009, "PACKET UNAVAILABLE."},
    {0x100A, "MISSING PACKETS."},
    {0x100B, "FLUSH REQUESTED."},
    {0x100C, "TOO MANY PACKET MISSING."},
    {0x100D, "FLUSHED BY D0EXIT."},
    {0x100E, "FLUSHED BY CAMERA REMOVE."},
    {0x100F, "DRIVER LOAD ERR."},
    {0x2001, "FILE OPEN ERROR."},
    {0x2002, "FILE WRITE ERROR."},
    {0x2003, "FILE READ ERROR."},
    {0x2004, "FILE NOT FOUND."},
    {0xA100, "DATA DISCARDED."},
    {0xFFFFFFFFu, "UNSUCCESSFUL."},
};

constexpr bool SortedByCode() {
    for (size_t i = 1; i < std::size(kResults); ++i)
        if (kResults[i - 1].code >= kResults[i].code)
            return false;
    return true;
}
static_assert(SortedByCode(), "the result table must stay sorted by code");

} // namespace

const char* ResultMessage(uint32_t code) {
    if (code == 0)
        return "";
    auto it = std::lower_bound(std::begin(kResults), std::end(kResults), code,
                               [](const ResultEntry& entry, uint32_t c) { return entry.code < c; });
    return it != std::end(kResults) && it->code == code ? it->message : "ILLEGAL ERR.";
}

void SetResultText(char* errText, uint32_t code) {
    if (errText == nullptr)
        return;
    const char* message = ResultMessage(code);
    size_t length = std::min(strlen(message), kResultTextBytes - 1);
    memcpy(errText, message, length);
    errText[length] = '\0';
}
