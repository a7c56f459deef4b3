#pragma once
// Writing the browser's cookies as a Netscape cookie file (the cookies.txt that the request
// layer's cookie store and kesto-decorate read), one line per cookie.

#include <optional>
#include <string>
#include <vector>

#include "platform/net_layer.h"

namespace kesto {

// "domain<TAB>subdomains<TAB>path<TAB>secure<TAB>expires<TAB>name<TAB>value", with "#HttpOnly_"
// before the domain of an HTTP-only cookie. Nothing for a cookie that cannot be written as one
// line (a tab or line break in a field, or no name), so no cookie can add a line of its own.
std::optional<std::string> FormatCookieLine(const net::Cookie& cookie);

// A whole cookie file: its header line, then one line per cookie that can be written.
std::string CookieFileText(const std::vector<net::Cookie>& cookies);

}  // namespace kesto
