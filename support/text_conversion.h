#pragma once
// The conversions that decide which bytes go on the wire: the ANSI code page for request bodies,
// multipart texts and trace lines; size-limited UTF-8 for category and album folder names.

#include <string>
#include <string_view>

namespace kesto {

// UTF-8 text to the calling thread's ANSI code page.
std::string ToAnsi(std::string_view text);

// Exactly count bytes of the ANSI code page to UTF-8 text; a count below 1 gives an empty text.
std::string FromAnsi(const char* bytes, int count);
// A zero-terminated byte string of the ANSI code page to UTF-8 text; null gives an empty text.
std::string FromAnsi(const char* zeroTerminated);

// The text as UTF-8 of at most 1,023 bytes, ending at its first zero character. A longer text is
// cut at the last character boundary that fits.
std::string ToUtf8Limited(std::string_view text);

}  // namespace kesto
