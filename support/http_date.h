#pragma once
// Dates as HTTP headers write them: "Sun, 06 Nov 1994 08:49:37 GMT", and the older spellings
// servers still send in cookies ("Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994").
// Read by the request layer for the Retry-After of a rate-limited answer and for a cookie's
// Expires.

#include <chrono>
#include <optional>
#include <string_view>

namespace kesto {

// The moment the date names (always UTC); nothing for text that is no such date.
std::optional<std::chrono::system_clock::time_point> ParseHttpDate(std::string_view text);

}  // namespace kesto
