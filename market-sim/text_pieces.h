#pragma once
// Small readers of the texts the marketplace takes: hexadecimal digits, and caret- and
// bar-separated pieces (digits: IsAsciiDigits, support/ascii_text.h).

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "support/ascii_text.h"

namespace kesto::sim {

// The value of a hexadecimal digit (either letter case), or -1.
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The pieces between separators, empty ones included.
inline std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    while (true) {
        const auto end = text.find(separator);
        pieces.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return pieces;
        }
        text.remove_prefix(end + 1);
    }
}

}  // namespace kesto::sim
