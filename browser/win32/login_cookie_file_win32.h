#pragma once
// The cookies.txt the desktop program's login leaves behind for kesto-decorate on Windows: the
// marketplace cookies of WinINet's store (which the web-browser control fills), written as a
// cookie file after each completed page.

#include <windows.h>

#include <functional>
#include <string>

namespace kesto::win32 {

// A query shaped like InternetGetCookieExW's: with a null buffer it sets *size to what the text
// needs; with a buffer of *size characters it fills it, or fails with ERROR_INSUFFICIENT_BUFFER
// and sets *size to what the text needs now.
using CookieQuery = std::function<BOOL(wchar_t* buffer, DWORD* size)>;

// The text the query answers; empty when it fails or answers nothing. The size it gives is taken
// as characters (WinINet may count bytes, which is never less), and a text that grows between
// the size query and the read is read again with the larger size, a few times at most.
std::wstring ReadCookieQuery(const CookieQuery& query);

// The cookie-file text of the cookies WinINet would send to the marketplace, HTTP-only ones
// included; empty when it holds none.
std::string MarketplaceCookieFileText();

// Saves the marketplace cookies to the file when there are any; false when saving failed.
bool LeaveLoginCookies(const std::string& path);

}  // namespace kesto::win32
