#pragma once
// One line of a Netscape cookie file (cookies.txt), read into a cookie: the one reader for the
// cookie store and the login identity's cookie file.

#include <optional>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

// The cookie of one line "domain<TAB>subdomains<TAB>path<TAB>secure<TAB>expires<TAB>name<TAB>value"
// (a leading "#HttpOnly_" marks an HTTP-only cookie); nothing for comments, blank lines and lines
// that are not cookies. Names may not hold ';' or '=', nor values ';', so no stored cookie can
// carry another one into a request.
std::optional<net::Cookie> ParseCookieLine(std::string_view line);

}  // namespace kesto
