#pragma once
// Feeding the process's cookie store, which every request and every uploader shares, with the
// cookies of a login: Netscape cookie-file lines, one at a time or a whole cookies.txt, or the
// login browser's cookies. Only the marketplace's cookies are stored
// (market/marketplace_cookies.h); the others are passed over.

#include <optional>
#include <string_view>
#include <vector>

#include "platform/net_layer.h"

namespace kesto {

// The cookie of one line "domain<TAB>subdomains<TAB>path<TAB>secure<TAB>expires<TAB>name<TAB>value"
// (a leading "#HttpOnly_" marks an HTTP-only cookie); nothing for comments, blank lines and lines
// that are not cookies. Names may not hold ';' or '=', nor values ';', so no stored cookie can
// carry another one into a request.
std::optional<net::Cookie> ParseCookieLine(std::string_view line);

// Stores the cookie of one line; false when the line is no cookie, not the marketplace's, or the
// store refused it.
bool StoreCookieLine(std::string_view line);

// Stores the marketplace's cookies among `cookies` (MarketplaceCookies); the number stored.
int StoreMarketplaceCookies(const std::vector<net::Cookie>& cookies);

// Stores the marketplace's cookies of a cookie file's content, as StoreMarketplaceCookies does;
// the number stored. Linear in the content's size.
int StoreCookieFile(std::string_view fileContent);

}  // namespace kesto
