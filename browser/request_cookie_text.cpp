#include "browser/request_cookie_text.h"

#include <string>

namespace kesto {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::vector<net::Cookie> CookiesFromRequestText(std::string_view text, std::string_view domain) {
    std::vector<net::Cookie> cookies;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view pair = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = pair.find('=');
        const std::string_view name = TrimBlanks(pair.substr(0, equals));
        if (name.empty()) {
            continue;
        }
        net::Cookie cookie;
        cookie.domain = std::string(domain);
        cookie.includeSubdomains = true;
        cookie.name = std::string(name);
        if (equals != std::string_view::npos) {
            cookie.value = std::string(pair.substr(equals + 1));
        }
        cookies.push_back(std::move(cookie));
    }
    return cookies;
}

}  // namespace kesto
