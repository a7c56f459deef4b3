#pragma once
// The login cookies as the marketplace writes and reads them.

#include <map>
#include <string>
#include <string_view>

namespace kesto::sim {

// "a=1; b=2" as a map; the first cookie of a name wins.
std::map<std::string, std::string> ParseCookieHeader(std::string_view header);

// The "uin" cookie's value for a user number: "o" standing for its leading "10" (10001 gives
// "o001"). Client programs turn the "o" back into "10", so every user number starts with "10".
std::string EncodeUinCookie(std::string_view userNumber);
// The user number a "uin" cookie names: each "o" read as "10", then what precedes the first
// digit dropped; the empty text when that leaves no digits only.
std::string DecodeUinCookie(std::string_view cookie);

}  // namespace kesto::sim
