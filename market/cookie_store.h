#pragma once
// Feeding the process's cookie store, which every request and every uploader shares, with the
// cookies of a login: Netscape cookie-file lines, one at a time or a whole cookies.txt, or the
// login browser's cookies. Only the marketplace's cookies are stored
// (market/marketplace_cookies.h); the others are passed over.

#include <optional>
#include <string_view>
#include <vector>

#include "market/cookie_line.h"
#include "platform/net_layer.h"

namespace kesto {

// Stores the cookie of one line; false when the line is no cookie, not the marketplace's, or the
// store refused it.
bool StoreCookieLine(std::string_view line);

// Stores the marketplace's cookies among `cookies` (MarketplaceCookies); the number stored.
int StoreMarketplaceCookies(const std::vector<net::Cookie>& cookies);

// Stores the marketplace's cookies of a cookie file's content, as StoreMarketplaceCookies does;
// the number stored. Linear in the content's size.
int StoreCookieFile(std::string_view fileContent);

}  // namespace kesto
