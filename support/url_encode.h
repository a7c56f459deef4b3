#pragma once
// Form-style percent encoding of bytes, for form values in request bodies and query strings, and
// the escaping of a whole address for the wire.

#include <string>
#include <string_view>

namespace kesto {

// Encodes the text up to its first zero byte: ASCII letters and digits stay, white-space bytes
// (blank, tab, LF, VT, FF, CR) become '+', every other byte becomes %XX in upper-case hex.
// size is in-out: on entry the buffer's capacity in bytes, on return the encoded length plus 1,
// always. The encoded text and a terminating zero are written only when buffer is not null and
// the capacity suffices; the result says whether they were.
bool UrlEncode(std::string_view text, char* buffer, int& size);

// The encoded text itself.
std::string UrlEncode(std::string_view text);

// The address as it goes on the wire, the same from every platform: in its path and query each
// byte outside printable ASCII (UTF-8 bytes one by one) and each of blank " < > \ ^ ` { | }
// becomes %XX in upper-case hex, so a blank is %20, never '+'; a '%' that starts no %XX escape
// becomes %25; escapes already there stay; the fragment (from '#') is dropped, as it never goes
// to the server. The scheme and the host part stay as they are.
std::string EscapeUrl(std::string_view url);

}  // namespace kesto
