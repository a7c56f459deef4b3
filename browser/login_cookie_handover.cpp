#include "browser/login_cookie_handover.h"

#include "market/cookie_store.h"
#include "market/login_cookie_file.h"
#include "market/marketplace_cookies.h"

namespace kesto {

bool HandOverLoginCookies(const std::vector<net::Cookie>& browserCookies,
                          const std::string& cookieFile) {
    const std::vector<net::Cookie> cookies = MarketplaceCookies(browserCookies);
    if (cookies.empty()) {
        return true;
    }
    StoreMarketplaceCookies(cookies);
    return cookieFile.empty() || SaveLoginCookieFile(cookieFile, cookies);
}

}  // namespace kesto
