#pragma once
// Which cookies belong to the marketplace: the ones its cookie domain's hosts receive. Only these
// go into the request layer's cookie store and the login's cookie file; cookies of any other site
// the login window visits, or that a browser's exported cookie file holds, stay out of both.

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/net_layer.h"

namespace kesto {

// The most marketplace cookies taken from one login or one cookie file: what a browser keeps for
// one domain. The store's cost grows with the square of the cookies it holds for one domain, so
// this bound keeps a huge cookie file from stalling the first request.
inline constexpr std::size_t kMostMarketplaceCookies = 180;

// Whether a cookie set for `domain` reaches the hosts of `cookieDomain` (".example.org" and
// "example.org" both cover example.org and every host below it; letter case does not count).
bool WithinCookieDomain(std::string_view domain, std::string_view cookieDomain);

// Whether the cookie is set for the marketplace's cookie domain or a host below it.
bool IsMarketplaceCookie(const net::Cookie& cookie);

// The marketplace's cookies among `cookies`, in their order: a later cookie of the same domain,
// path and name takes the place of an earlier one, and cookies beyond kMostMarketplaceCookies
// distinct ones are left out. Linear in the number of cookies.
std::vector<net::Cookie> MarketplaceCookies(const std::vector<net::Cookie>& cookies);

}  // namespace kesto
