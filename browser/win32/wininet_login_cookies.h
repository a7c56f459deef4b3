#pragma once
// The login's cookies in WinINet's store on Windows: the marketplace cookies the web-browser
// control's pages leave there, saved as the login cookie file for kesto-decorate
// (market/login_cookie_file.h) after each completed page.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/net_layer.h"

namespace kesto::win32 {

// A query shaped like InternetGetCookieExW's: with a null buffer it sets *size to what the text
// needs; with a buffer of *size characters it fills it, or fails with ERROR_INSUFFICIENT_BUFFER
// and sets *size to what the text needs now.
using CookieQuery = std::function<BOOL(wchar_t* buffer, DWORD* size)>;

// The text the query answers; empty when it fails or answers nothing. The size it gives is taken
// as characters (WinINet may count bytes, which is never less), and a text that grows between
// the size query and the read is read again with the larger size, a few times at most.
std::wstring ReadCookieQuery(const CookieQuery& query);

// The marketplace's cookies among those WinINet would send to the marketplace, HTTP-only ones
// included.
std::vector<net::Cookie> StoredMarketplaceCookies();

// The cookie-file text of StoredMarketplaceCookies; empty when there are none.
std::string MarketplaceCookieFileText();

// Saves the marketplace cookies to the file when there are any; false when saving failed.
bool LeaveLoginCookies(const std::string& path);

}  // namespace kesto::win32
