#pragma once
// One line of a Netscape cookie file (cookies.txt), read into a cookie and written from one: the
// one reader and writer for the cookie store and the login cookie file
// (market/login_cookie_file.h).

#include <optional>
#include <string>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

// The cookie of one line "domain<TAB>subdomains<TAB>path<TAB>secure<TAB>expires<TAB>name<TAB>value"
// (a leading "#HttpOnly_" marks an HTTP-only cookie); nothing for comments, blank lines and lines
// that are not cookies. Names may not hold ';' or '=', nor values ';', so no stored cookie can
// carry another one into a request.
std::optional<net::Cookie> ParseCookieLine(std::string_view line);

// The line of a cookie, as ParseCookieLine reads it back, with "#HttpOnly_" before the domain of
// an HTTP-only cookie. Nothing for a cookie that cannot be written as one line (a tab or line
// break in a field, or no name or domain), so no cookie can add a line of its own.
std::optional<std::string> FormatCookieLine(const net::Cookie& cookie);

}  // namespace kesto
