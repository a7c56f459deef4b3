#include "market/login_cookie_file.h"

#include <cstdint>
#include <optional>

#include "market/cookie_line.h"
#include "market/marketplace_cookies.h"
#include "platform/private_file.h"

namespace kesto {
namespace {

bool Expired(const net::Cookie& cookie, std::time_t now) {
    return cookie.expires != 0 && cookie.expires < static_cast<std::int64_t>(now);
}

}  // namespace

FileReadResult ReadCookieFile(const std::string& path, std::string& content) {
    return ReadRegularFile(path, kCookieFileLimitBytes, content);
}

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

std::string CookieFileText(const std::vector<net::Cookie>& cookies) {
    std::string text = "# Netscape HTTP Cookie File\n";
    for (const net::Cookie& cookie : cookies) {
        if (const auto line = FormatCookieLine(cookie)) {
            text += *line + '\n';
        }
    }
    return text;
}

bool SaveLoginCookieFile(const std::string& path, const std::vector<net::Cookie>& cookies) {
    return SavePrivateFile(path, CookieFileText(cookies));
}

}  // namespace kesto
