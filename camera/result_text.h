// The host's message for each result code (PVX_ERR_* of camera/quorvex_api.h); the
// module's own failures use the library's codes.
#pragma once

#include "camera/quorvex_api.h"

#include <cstddef>
#include <cstdint>

// Bound of the ordinary messages written into the host's error text, NUL included.
constexpr size_t kResultTextBytes = 32;

// The message of a code: "" for PVX_OK, "ILLEGAL ERR." for a code not in the table.
const char* ResultMessage(PvxStatus code);

// Writes the code's message into errText (bounded by kResultTextBytes); nothing
// when errText is null.
void SetResultText(char* errText, PvxStatus code);
