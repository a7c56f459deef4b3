#include "market/marketplace_cookies.h"

#include <string>
#include <unordered_map>

#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto {

namespace {

std::string_view WithoutLeadingDots(std::string_view domain) {
    while (!domain.empty() && domain.front() == '.') {
        domain.remove_prefix(1);
    }
    return domain;
}

void AppendPart(std::string& key, std::string_view part) {
    key.append(std::to_string(part.size())).append(":").append(part);
}

// One text per (domain, path, name), each part preceded by its length so that no two
// different triples give the same text.
std::string CookieIdentity(const net::Cookie& cookie) {
    std::string key;
    AppendPart(key, AsciiLower(cookie.domain));
    AppendPart(key, cookie.path);
    AppendPart(key, cookie.name);
    return key;
}

}  // namespace

bool WithinCookieDomain(std::string_view domain, std::string_view cookieDomain) {
    domain = WithoutLeadingDots(domain);
    cookieDomain = WithoutLeadingDots(cookieDomain);
    if (domain.empty() || cookieDomain.empty()) {
        return false;
    }
    if (EqualIgnoringAsciiCase(domain, cookieDomain)) {
        return true;
    }
    return domain.size() > cookieDomain.size() &&
           domain[domain.size() - cookieDomain.size() - 1] == '.' &&
           EqualIgnoringAsciiCase(domain.substr(domain.size() - cookieDomain.size()), cookieDomain);
}

bool IsMarketplaceCookie(const net::Cookie& cookie) {
    return WithinCookieDomain(cookie.domain, hosts::kCookieDomain);
}

std::vector<net::Cookie> MarketplaceCookies(const std::vector<net::Cookie>& cookies) {
    std::vector<net::Cookie> kept;
    std::unordered_map<std::string, std::size_t> positions;
    for (const net::Cookie& cookie : cookies) {
        if (!IsMarketplaceCookie(cookie)) {
            continue;
        }
        const auto [found, added] = positions.try_emplace(CookieIdentity(cookie), kept.size());
        if (!added) {
            kept[found->second] = cookie;
        } else if (kept.size() < kMostMarketplaceCookies) {
            kept.push_back(cookie);
        } else {
            positions.erase(found);
        }
    }
    return kept;
}

}  // namespace kesto
