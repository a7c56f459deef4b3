#include "market/cookie_store.h"

#include <utility>
#include <vector>

#include "market/marketplace_cookies.h"

namespace kesto {

bool StoreCookieLine(std::string_view line) {
    const std::optional<net::Cookie> cookie = ParseCookieLine(line);
    return cookie && IsMarketplaceCookie(*cookie) && net::StoreCookie(*cookie);
}

int StoreMarketplaceCookies(const std::vector<net::Cookie>& cookies) {
    int stored = 0;
    for (const net::Cookie& cookie : MarketplaceCookies(cookies)) {
        if (net::StoreCookie(cookie)) {
            ++stored;
        }
    }
    return stored;
}

int StoreCookieFile(std::string_view fileContent) {
    std::vector<net::Cookie> cookies;
    while (!fileContent.empty()) {
        const std::size_t end = fileContent.find('\n');
        std::optional<net::Cookie> cookie = ParseCookieLine(fileContent.substr(0, end));
        if (cookie && IsMarketplaceCookie(*cookie)) {
            cookies.push_back(std::move(*cookie));
        }
        if (end == std::string_view::npos) {
            break;
        }
        fileContent.remove_prefix(end + 1);
    }
    return StoreMarketplaceCookies(cookies);
}

}  // namespace kesto
