#include "browser/win32/wininet_login_cookies.h"

#include <wininet.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "browser/request_cookie_text.h"
#include "market/hosts.h"
#include "market/login_cookie_file.h"
#include "market/marketplace_cookies.h"
#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

// Reads after the size query: a page of the login may add cookies between any two of them.
constexpr int kReadAttempts = 4;
// Far beyond what WinINet keeps for one address; a larger answer is not taken.
constexpr DWORD kMostCookieCharacters = DWORD{1} << 24;

// The cookies WinINet sends to an address, as one "name=value; name=value" text.
std::string CookieTextFor(const std::wstring& url) {
    return Narrow(ReadCookieQuery([&url](wchar_t* buffer, DWORD* size) {
        return InternetGetCookieExW(url.c_str(), nullptr, buffer, size, INTERNET_COOKIE_HTTPONLY,
                                    nullptr);
    }));
}

}  // namespace

std::wstring ReadCookieQuery(const CookieQuery& query) {
    DWORD needed = 0;
    if (!query(nullptr, &needed) || needed == 0) {
        return {};
    }
    for (int attempt = 0; attempt < kReadAttempts && needed <= kMostCookieCharacters; ++attempt) {
        std::vector<wchar_t> text(static_cast<std::size_t>(needed) + 1, L'\0');
        DWORD size = needed;  // characters, one fewer than the buffer holds
        if (query(text.data(), &size)) {
            return std::wstring(text.data(), wcsnlen(text.data(), text.size()));
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        // The text grew meanwhile: ask for at least twice the room, whatever the answer says.
        needed = std::max(size, needed * 2);
    }
    return {};
}

std::vector<net::Cookie> StoredMarketplaceCookies() {
    const std::string text = CookieTextFor(Widen(hosts::Address(hosts::kPortal, "/")));
    if (text.empty()) {
        return {};
    }
    return MarketplaceCookies(CookiesFromRequestText(text, hosts::kCookieDomain));
}

std::string MarketplaceCookieFileText() {
    const std::vector<net::Cookie> cookies = StoredMarketplaceCookies();
    return cookies.empty() ? std::string() : CookieFileText(cookies);
}

bool LeaveLoginCookies(const std::string& path) {
    const std::vector<net::Cookie> cookies = StoredMarketplaceCookies();
    return cookies.empty() || SaveLoginCookieFile(path, cookies);
}

}  // namespace kesto::win32
