// The process-wide text of the last failure, as pvxGetLastErrorText reports it, and
// Fail, which every failing path uses to name the operation and the reason.
#pragma once

#include "camera/quorvex_api.h"
#include "camlib/operations.h"

#include <string>

namespace camlib {

void SetLastErrorText(std::string text);
std::string LastErrorText();

// pvxGetLastErrorText: the text and its NUL into text, which holds size bytes; size
// becomes the bytes written. Its own refusals leave the last error untouched.
PvxStatus CopyLastErrorText(char* text, uint32_t* size);

// The operation the calling thread is in; set at the entry of every export.
void SetCurrentOperation(Operation operation);

// Records "<operation>: <reason>" as the last error and returns status.
PvxStatus Fail(PvxStatus status, const std::string& reason);

// A number as a person would write it: no trailing zeros, no exponent for ordinary values.
std::string FormatNumber(double value);

} // namespace camlib
