#include "market/cookie_file_source.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "market/cookie_line.h"
#include "market/marketplace_cookies.h"

namespace kesto {
namespace {

bool Expired(const net::Cookie& cookie, std::time_t now) {
    return cookie.expires != 0 && cookie.expires < static_cast<std::int64_t>(now);
}

}  // namespace

std::string CookieTextFromFile(std::string_view fileContent, std::string_view cookieDomain,
                               std::time_t now) {
    std::string text;
    while (!fileContent.empty()) {
        const std::size_t newline = fileContent.find('\n');
        const std::string_view line = fileContent.substr(0, newline);
        fileContent.remove_prefix(newline == std::string_view::npos ? fileContent.size()
                                                                    : newline + 1);
        const std::optional<net::Cookie> cookie = ParseCookieLine(line);
        if (!cookie || !WithinCookieDomain(cookie->domain, cookieDomain) || Expired(*cookie, now)) {
            continue;
        }
        if (!text.empty()) {
            text += "; ";
        }
        text.append(cookie->name).append("=").append(cookie->value);
    }
    return text;
}

CookieFileSource::CookieFileSource(std::string path, std::string cookieDomain)
    : path_(std::move(path)), cookieDomain_(std::move(cookieDomain)) {}

FileReadResult ReadCookieFile(const std::string& path, std::string& content) {
    return ReadRegularFile(path, kCookieFileLimitBytes, content);
}

std::optional<std::string> CookieFileSource::GetCookie() {
    std::string content;
    if (ReadCookieFile(path_, content) != FileReadResult::kRead) {
        return std::nullopt;
    }
    std::string text = CookieTextFromFile(content, cookieDomain_, std::time(nullptr));
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace kesto
