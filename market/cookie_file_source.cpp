#include "market/cookie_file_source.h"

#include <charconv>
#include <utility>
#include <vector>

#include "market/marketplace_cookies.h"

namespace kesto {
namespace {

constexpr std::string_view kHttpOnlyMark = "#HttpOnly_";

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

bool Expired(std::string_view expiry, std::time_t now) {
    long long seconds = 0;
    const auto [end, error] =
        std::from_chars(expiry.data(), expiry.data() + expiry.size(), seconds);
    if (error != std::errc() || end != expiry.data() + expiry.size()) {
        return true;  // not a number: not a cookie line a browser wrote
    }
    return seconds != 0 && seconds < static_cast<long long>(now);
}

}  // namespace

std::string CookieTextFromFile(std::string_view fileContent, std::string_view cookieDomain,
                               std::time_t now) {
    std::string text;
    while (!fileContent.empty()) {
        const std::size_t newline = fileContent.find('\n');
        std::string_view line = fileContent.substr(0, newline);
        fileContent.remove_prefix(newline == std::string_view::npos ? fileContent.size()
                                                                    : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.starts_with(kHttpOnlyMark)) {
            line.remove_prefix(kHttpOnlyMark.size());
        } else if (line.starts_with("#")) {
            continue;
        }
        const std::vector<std::string_view> fields = SplitTabs(line);
        if (fields.size() != 7 || fields[5].empty() ||
            !WithinCookieDomain(fields[0], cookieDomain) || Expired(fields[4], now)) {
            continue;
        }
        if (!text.empty()) {
            text += "; ";
        }
        text.append(fields[5]).append("=").append(fields[6]);
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
