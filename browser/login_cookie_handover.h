#pragma once
// What the login browser's cookies become after each page, where the platform's browser keeps
// them apart from the request layer's store (WebKitGTK): the marketplace's cookies go into the
// request layer's store and into the cookies.txt left for kesto-decorate. Cookies of any other
// site the login window visited go to neither.

#include <string>
#include <vector>

#include "platform/net_layer.h"

namespace kesto {

// Hands over the marketplace's cookies among the browser's (see market/marketplace_cookies.h):
// each into the request layer's store, and all of them as the whole new content of the cookie
// file at cookieFile unless that is empty. A browser without marketplace cookies (the first page
// of a new session) changes nothing, so the file of an earlier login stays. False when the file
// could not be written.
bool HandOverLoginCookies(const std::vector<net::Cookie>& browserCookies,
                          const std::string& cookieFile);

}  // namespace kesto
