#include "browser/request_cookie_text.h"

#include <string>

#include "support/ascii_text.h"

namespace kesto {

std::vector<net::Cookie> CookiesFromRequestText(std::string_view text, std::string_view domain) {
    std::vector<net::Cookie> cookies;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view pair = TrimmedAscii(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = pair.find('=');
        const std::string_view name = TrimmedAscii(pair.substr(0, equals));
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
