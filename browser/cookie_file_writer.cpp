#include "browser/cookie_file_writer.h"

#include <string_view>

namespace kesto {

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
    std::string line = cookie.httpOnly ? "#HttpOnly_" : "";
    line += cookie.domain + '\t' + Flag(cookie.includeSubdomains) + '\t' +
            (cookie.path.empty() ? std::string("/") : cookie.path) + '\t' + Flag(cookie.secure) +
            '\t' + std::to_string(cookie.expires) + '\t' + cookie.name + '\t' + cookie.value;
    return line;
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

}  // namespace kesto
