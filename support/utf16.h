#pragma once
// Conversions between the program's UTF-8 text and UTF-16 code units, for the places whose
// results depend on code units (the request token, the pattern matcher, character limits).

#include <string>
#include <string_view>

namespace kesto {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Number of UTF-16 code units the UTF-8 text takes.
std::size_t Utf16Length(std::string_view utf8);

// The longest prefix of the UTF-8 text that has at most maxBytes bytes and ends on a character
// boundary.
std::string_view CutUtf8(std::string_view utf8, std::size_t maxBytes);

}  // namespace kesto
