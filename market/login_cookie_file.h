#pragma once
// The login cookie file: the Netscape cookies.txt the desktop program's login leaves behind and
// kesto-decorate reads its login from (or one a browser exported). Reading and writing it are
// here; its lines are market/cookie_line.h's, its access rights platform/private_file.h's.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net_layer.h"
#include "support/bounded_file.h"

namespace kesto {

// The most a cookie file may hold: a browser's whole cookies.txt is rarely above a few hundred
// kilobytes, and the marketplace needs two of its lines.
inline constexpr std::uintmax_t kCookieFileLimitBytes = std::uintmax_t{1} << 20;

// Reads the cookie file at path whole, only when it is a regular file of at most
// kCookieFileLimitBytes (a FIFO given as the cookie file would block the reader for ever).
FileReadResult ReadCookieFile(const std::string& path, std::string& content);

// The cookie text of a cookie file's content: "name=value" of every cookie set for the cookie
// domain or a host below it and not expired at `now` (0 means a session cookie), joined by "; "
// in file order. Comment lines, blank lines and lines without seven tab-separated fields are
// skipped; a "#HttpOnly_" mark before the domain is read as part of a cookie line.
std::string CookieTextFromFile(std::string_view fileContent, std::string_view cookieDomain,
                               std::time_t now);

// A whole cookie file: its header line, then one line per cookie that can be written
// (FormatCookieLine).
std::string CookieFileText(const std::vector<net::Cookie>& cookies);

// Replaces the cookie file at path with the cookies, in one step and readable by the current
// user only; false when that fails, the old file then left as it was.
bool SaveLoginCookieFile(const std::string& path, const std::vector<net::Cookie>& cookies);

}  // namespace kesto
