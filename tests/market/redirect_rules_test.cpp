#include "market/redirect_rules.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(RedirectRules, StatusesAndTheirWay) {
    EXPECT_EQ(RedirectKindOf(301), RedirectKind::kAsGet);
    EXPECT_EQ(RedirectKindOf(302), RedirectKind::kAsGet);
    EXPECT_EQ(RedirectKindOf(303), RedirectKind::kAsGet);
    EXPECT_EQ(RedirectKindOf(307), RedirectKind::kSameMethod);
    EXPECT_EQ(RedirectKindOf(308), RedirectKind::kSameMethod);
    for (const int status : {200, 300, 304, 305, 306, 404}) {
        EXPECT_EQ(RedirectKindOf(status), RedirectKind::kNone) << status;
    }
}

TEST(RedirectRules, LocationsResolveAgainstTheAnsweringAddress) {
    const std::string base = "http://manage.kesto.example:8080/cgi-bin/shop/edit?id=1#top";
    const struct {
        const char* location;
        std::optional<std::string> url;
    } cases[] = {
        {"HTTPS://member.kesto.example/login", "HTTPS://member.kesto.example/login"},
        {"//album.kesto.example/a", "http://album.kesto.example/a"},
        {" /cgi-bin/done ", "http://manage.kesto.example:8080/cgi-bin/done"},
        {"?id=2", "http://manage.kesto.example:8080/cgi-bin/shop/edit?id=2"},
        {"list?x=1", "http://manage.kesto.example:8080/cgi-bin/shop/list?x=1"},
        {"ftp://manage.kesto.example/file", std::nullopt},
        {"javascript:alert(1)", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveLocation(base, c.location), c.url) << c.location;
    }
}

TEST(RedirectRules, OnlyTheFirstHostAndTheMarketplaceHostsAreFollowed) {
    EXPECT_TRUE(MayRedirectTo("127.0.0.1", "127.0.0.1"));
    EXPECT_TRUE(MayRedirectTo("manage.kesto.example", "MEMBER.kesto.example"));
    EXPECT_TRUE(MayRedirectTo("127.0.0.1", "album.kesto.example"));
    EXPECT_FALSE(MayRedirectTo("manage.kesto.example", "kesto.example.attacker.test"));
    EXPECT_FALSE(MayRedirectTo("manage.kesto.example", "other.kesto.example"));
}

}  // namespace
}  // namespace kesto
