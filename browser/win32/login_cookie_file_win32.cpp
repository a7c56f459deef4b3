#include "browser/win32/login_cookie_file_win32.h"

#include <windows.h>

#include <wininet.h>

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "browser/cookie_file_text.h"
#include "browser/request_cookie_text.h"
#include "market/hosts.h"
#include "platform/win32/wide_text.h"
#include "support/file_path.h"

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

// A temporary file beside the target, removed unless it was moved into place.
class TemporaryBeside {
  public:
    explicit TemporaryBeside(const std::filesystem::path& target)
        : path_(target.wstring() + L".saving") {}
    ~TemporaryBeside() {
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    const std::wstring& path() const { return path_; }
    bool MoveTo(const std::filesystem::path& target) {
        if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    std::wstring path_;
};

}  // namespace

std::string MarketplaceCookieFileText() {
    const std::string text = CookieTextFor(Widen(std::string("http://") + hosts::kPortal + "/"));
    if (text.empty()) {
        return {};
    }
    return CookieFileText(CookiesFromRequestText(text, hosts::kCookieDomain));
}

bool SaveLoginCookieFile(const std::string& path, const std::string& content) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target = PathFromUtf8(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    TemporaryBeside temporary(target);
    {
        std::ofstream file(std::filesystem::path(temporary.path()),
                           std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        file.close();
        if (!file) {
            return false;
        }
    }
    return temporary.MoveTo(target);
}

bool LeaveLoginCookies(const std::string& path) {
    const std::string text = MarketplaceCookieFileText();
    return text.empty() || SaveLoginCookieFile(path, text);
}

}  // namespace kesto::win32
