#pragma once
// Reading the login's identity out of a page's cookie text, the "name=value; name=value" form a
// document's cookie property gives.

#include <string>
#include <string_view>

namespace kesto {

// The value of the cookie with exactly this name: the first cookie whose whole name matches
// (at the start of the text or after a ";" and optional blanks), up to the next ";" or the end
// of the text, taken unchanged. Empty when there is no such cookie.
std::string GetCookieValue(std::string_view cookieText, std::string_view name);

// The logged-in user's number: the "ptui_loginuin" cookie when it has a value; otherwise the
// "uin" cookie with every "o" written as "10" and anything before its first digit dropped.
std::string ReadUserNumber(std::string_view cookieText);

}  // namespace kesto
