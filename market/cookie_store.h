#pragma once
// Feeding the process's cookie store, which every request and every uploader shares, with the
// cookies of a login: Netscape cookie-file lines, one at a time or a whole cookies.txt.

#include <optional>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

// The cookie of one line "domain<TAB>subdomains<TAB>path<TAB>secure<TAB>expires<TAB>name<TAB>value"
// (a leading "#HttpOnly_" marks an HTTP-only cookie); nothing for comments, blank lines and lines
// that are not cookies. Names may not hold ';' or '=', nor values ';', so no stored cookie can
// carry another one into a request.
std::optional<net::Cookie> ParseCookieLine(std::string_view line);

// Stores the cookie of one line; false when the line is no cookie or the store refused it.
bool StoreCookieLine(std::string_view line);

// Stores every cookie of a cookie file's content; the number stored.
int StoreCookieFile(std::string_view fileContent);

}  // namespace kesto
