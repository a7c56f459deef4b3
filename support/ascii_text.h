#pragma once
// ASCII-only letter case, as the marketplace's pages and file name endings are compared: only
// the letters A to Z change, whatever else the text holds; ASCII digits; and ASCII blanks
// trimmed off.

#include <algorithm>
#include <string>
#include <string_view>

namespace kesto {

inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the text is one or more of the digits 0 to 9 and nothing else.
inline bool IsAsciiDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return AsciiLower(c); });
    return lower;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           EqualIgnoringAsciiCase(text.substr(0, start.size()), start);
}

inline bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           AsciiLower(text.substr(text.size() - ending.size())) == AsciiLower(ending);
}

// The text without the blanks (by default blank and tab) at either end.
inline std::string_view TrimmedAscii(std::string_view text, std::string_view blanks = " \t") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace kesto
