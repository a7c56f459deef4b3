#include "browser/win32/login_cookie_file_win32.h"

#include <windows.h>

#include <wininet.h>

#include <vector>

#include "browser/cookie_file_writer.h"
#include "browser/request_cookie_text.h"
#include "market/hosts.h"
#include "platform/login_cookie_file.h"
#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

// The cookies WinINet sends to an address, as one "name=value; name=value" text.
std::string CookieTextFor(const std::wstring& url) {
    DWORD size = 0;
    if (!InternetGetCookieExW(url.c_str(), nullptr, nullptr, &size, INTERNET_COOKIE_HTTPONLY,
                              nullptr) ||
        size == 0) {
        return {};
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (!InternetGetCookieExW(url.c_str(), nullptr, text.data(), &size, INTERNET_COOKIE_HTTPONLY,
                              nullptr)) {
        return {};
    }
    return Narrow(text.data());
}

}  // namespace

std::string MarketplaceCookieFileText() {
    const std::string text = CookieTextFor(Widen(hosts::Address(hosts::kPortal, "/")));
    if (text.empty()) {
        return {};
    }
    return CookieFileText(CookiesFromRequestText(text, hosts::kCookieDomain));
}

bool LeaveLoginCookies(const std::string& path) {
    const std::string text = MarketplaceCookieFileText();
    return text.empty() || kesto::SaveLoginCookieFile(path, text);
}

}  // namespace kesto::win32
