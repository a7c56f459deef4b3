#pragma once
// The cookies of a "name=value; name=value" text (what a cookie store answers for an address,
// or a document's cookie property) as cookie-file records, so that the desktop program's login
// can be left behind for kesto-decorate where the store gives no more than that text.

#include <string_view>
#include <vector>

#include "platform/net_layer.h"

namespace kesto {

// One session cookie per "name=value" pair, set for the domain and every host below it, path
// "/". Blanks around a pair are dropped; pairs without a name are skipped; a pair without "="
// is a cookie with an empty value.
std::vector<net::Cookie> CookiesFromRequestText(std::string_view text, std::string_view domain);

}  // namespace kesto
