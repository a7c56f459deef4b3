#pragma once
// The cookies.txt the desktop program's login leaves behind for kesto-decorate on Windows: the
// marketplace cookies of WinINet's store (which the web-browser control fills), written as a
// cookie file after each completed page.

#include <string>

namespace kesto::win32 {

// The cookie-file text of the cookies WinINet would send to the marketplace, HTTP-only ones
// included; empty when it holds none.
std::string MarketplaceCookieFileText();

// Saves the marketplace cookies to the file when there are any; false when saving failed.
bool LeaveLoginCookies(const std::string& path);

}  // namespace kesto::win32
