// A host error-text buffer filled with a marker byte, so a test can tell which
// bytes a call wrote.
#ifndef AIKTEST_MARKED_ERR_TEXT_H
#define AIKTEST_MARKED_ERR_TEXT_H

#include <cstddef>
#include <cstring>
#include <string>

namespace aiktest {

struct MarkedErrText {
    static constexpr unsigned char kMark = 0xAA;
    char bytes[256];

    MarkedErrText() { std::memset(bytes, kMark, sizeof bytes); }

    // No byte from offset `from` to the end was written.
    bool untouchedFrom(std::size_t from) const {
        for (std::size_t i = from; i < sizeof bytes; ++i) {
            if (static_cast<unsigned char>(bytes[i]) != kMark) {
                return false;
            }
        }
        return true;
    }
    bool untouched() const { return untouchedFrom(0); }
    std::string text() const { return std::string(bytes, strnlen(bytes, sizeof bytes)); }
};

} // namespace aiktest

#endif
