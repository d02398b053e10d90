// Camera texts need not be UTF-8 (a user id typed on a Latin-1 terminal), but JSON
// holds nothing else: such a text travels as UTF-8 and comes back byte for byte.
#ifndef AIKHOST_LATIN1_TEXT_H
#define AIKHOST_LATIN1_TEXT_H

#include <optional>
#include <string>

namespace aikhost {

// Whether JSON can hold text as it is.
bool isUtf8(const std::string& text);

// Each byte as the Latin-1 character it stands for, in UTF-8.
std::string latin1ToUtf8(const std::string& bytes);

// The bytes latin1ToUtf8 made text from; nothing when text holds a character beyond
// Latin-1.
std::optional<std::string> utf8ToLatin1(const std::string& text);

} // namespace aikhost

#endif
