#include "market/marketplace_cookies.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

net::Cookie CookieOf(const std::string& domain, const std::string& name, const std::string& value) {
    net::Cookie cookie;
    cookie.domain = domain;
    cookie.name = name;
    cookie.value = value;
    return cookie;
}

TEST(MarketplaceCookies, OnlyTheCookieDomainAndTheHostsBelowItBelongToTheMarketplace) {
    const struct {
        const char* domain;
        bool marketplace;
    } cases[] = {
        {".kesto.example", true},
        {"kesto.example", true},
        {"member.kesto.example", true},
        {".MEMBER.Kesto.Example", true},
        {".notkesto.example", false},
        {"kesto.example.other", false},
        {".example", false},
        {"www.other.example", false},
        {"", false},
        {".", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsMarketplaceCookie(CookieOf(c.domain, "uin", "1")), c.marketplace) << c.domain;
    }
}

TEST(MarketplaceCookies, ALaterCookieReplacesAnEarlierOneAndOtherSitesAreLeftOut) {
    const std::vector<net::Cookie> kept = MarketplaceCookies({
        CookieOf(".other.example", "uin", "foreign"),
        CookieOf(".kesto.example", "uin", "o1"),
        CookieOf("member.kesto.example", "uin", "host only"),
        CookieOf(".KESTO.example", "uin", "o2"),
        CookieOf("www.other.example", "skey", "foreign"),
    });
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].value, "o2");
    EXPECT_EQ(kept[1].value, "host only");
}

TEST(MarketplaceCookies, AtMostWhatABrowserKeepsForOneDomain) {
    std::vector<net::Cookie> cookies;
    for (std::size_t i = 0; i < kMostMarketplaceCookies + 20; ++i) {
        cookies.push_back(CookieOf(".kesto.example", "c" + std::to_string(i), "1"));
    }
    cookies.push_back(CookieOf(".kesto.example", "c0", "replaced"));
    const std::vector<net::Cookie> kept = MarketplaceCookies(cookies);
    ASSERT_EQ(kept.size(), kMostMarketplaceCookies);
    EXPECT_EQ(kept.front().value, "replaced");
    EXPECT_EQ(kept.back().name, "c" + std::to_string(kMostMarketplaceCookies - 1));
}

}  // namespace
}  // namespace kesto
