// Edits in place of the little-endian BigTIFF files the recording writer makes, for
// what libtiff offers no way to do without appending: end the chain of pages after
// the last whole one, and rewrite the first page's description in the room it has.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace recording {

// The page after the first pages pages ends the chain. Throws RecordingError.
void EndChainAfter(std::FILE* file, uint64_t pages);

// Writes text over the first page's ImageDescription, padded with blanks to its
// length. Throws RecordingError, also when the text is longer than the room there.
void RewriteFirstDescription(std::FILE* file, const std::string& text);

} // namespace recording
