// Numbers in the host's value texts, read the same way on every build: no locale, no
// hexadecimal, no "inf" or "nan".
#pragma once

#include <cstdint>

// A 32-bit long: leading blanks and a sign, digits up to the first other character,
// none giving 0, and a number beyond the range giving the nearest limit.
int64_t ParseLong32(const char* text);

// The leading decimal number of text: blanks, a sign, digits with at most one point,
// an exponent; no number gives 0, one too large for a double gives +-HUGE_VAL.
double ParseDecimal(const char* text);
