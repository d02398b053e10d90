// Result codes of the camera library and of the module, and the host's message for
// each.
#pragma once

#include <cstddef>
#include <cstdint>

// The module's own failures use the library's codes.
constexpr uint32_t kResultUnsuccessful = 0xFFFFFFFFu;
constexpr uint32_t kResultAlreadyOpened = 4;
constexpr uint32_t kResultInvalidParameter = 13;
constexpr uint32_t kResultGenicam = 258;
constexpr uint32_t kResultNotAvailable = 2056;

// Bound of the ordinary messages written into the host's error text, NUL included.
constexpr size_t kResultTextBytes = 32;

// The message of a code: "" for 0, "ILLEGAL ERR." for a code not in the table.
const char* ResultMessage(uint32_t code);

// Writes the code's message into errText (bounded by kResultTextBytes); nothing
// when errText is null.
void SetResultText(char* errText, uint32_t code);
