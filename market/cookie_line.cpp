#include "market/cookie_line.h"

#include <charconv>
#include <string>
#include <vector>

namespace kesto {

namespace {

constexpr std::string_view kHttpOnlyMark = "#HttpOnly_";
constexpr std::size_t kCookieFields = 7;

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t tab = line.find('\t');
        parts.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return parts;
        }
        line.remove_prefix(tab + 1);
    }
}

bool IsSafeCookieText(std::string_view text, std::string_view forbidden) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            forbidden.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<net::Cookie> ParseCookieLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    net::Cookie cookie;
    if (line.starts_with(kHttpOnlyMark)) {
        cookie.httpOnly = true;
        line.remove_prefix(kHttpOnlyMark.size());
    } else if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != kCookieFields || fields[0].empty() || fields[5].empty()) {
        return std::nullopt;
    }
    const std::string_view expires = fields[4];
    const auto [end, error] =
        std::from_chars(expires.data(), expires.data() + expires.size(), cookie.expires);
    if (error != std::errc() || end != expires.data() + expires.size() ||
        !IsSafeCookieText(fields[0], ";= ") || !IsSafeCookieText(fields[2], ";") ||
        !IsSafeCookieText(fields[5], ";= ") || !IsSafeCookieText(fields[6], ";")) {
        return std::nullopt;
    }
    cookie.domain = fields[0];
    cookie.includeSubdomains = fields[1] == "TRUE";
    cookie.path = fields[2].empty() ? "/" : std::string(fields[2]);
    cookie.secure = fields[3] == "TRUE";
    cookie.name = fields[5];
    cookie.value = fields[6];
    return cookie;
}

namespace {

bool FitsOneField(std::string_view field) {
    return field.find_first_of("\t\r\n") == std::string_view::npos;
}

const char* Flag(bool value) {
    return value ? "TRUE" : "FALSE";
}

}  // namespace

std::optional<std::string> FormatCookieLine(const net::Cookie& cookie) {
    for (const std::string* field : {&cookie.domain, &cookie.path, &cookie.name, &cookie.value}) {
        if (!FitsOneField(*field)) {
            return std::nullopt;
        }
    }
    if (cookie.name.empty() || cookie.domain.empty()) {
        return std::nullopt;
    }
    std::string line = cookie.httpOnly ? std::string(kHttpOnlyMark) : "";
    line += cookie.domain + '\t' + Flag(cookie.includeSubdomains) + '\t' +
            (cookie.path.empty() ? std::string("/") : cookie.path) + '\t' + Flag(cookie.secure) +
            '\t' + std::to_string(cookie.expires) + '\t' + cookie.name + '\t' + cookie.value;
    return line;
}

}  // namespace kesto
