#include "browser/request_cookie_text.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(CookiesFromRequestTextTest, EachPairBecomesASessionCookieOfTheDomain) {
    const auto cookies = CookiesFromRequestText(
        "uin=o10001; skey=@a=b;ptui_loginuin=10001 ;  ; =x; flag", ".kesto.example");
    ASSERT_EQ(cookies.size(), 4u);
    const std::pair<const char*, const char*> expected[] = {
        {"uin", "o10001"}, {"skey", "@a=b"}, {"ptui_loginuin", "10001"}, {"flag", ""}};
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        EXPECT_EQ(cookies[i].name, expected[i].first);
        EXPECT_EQ(cookies[i].value, expected[i].second);
        EXPECT_EQ(cookies[i].domain, ".kesto.example");
        EXPECT_TRUE(cookies[i].includeSubdomains);
        EXPECT_EQ(cookies[i].path, "/");
        EXPECT_EQ(cookies[i].expires, 0);
    }
    EXPECT_TRUE(CookiesFromRequestText("", ".kesto.example").empty());
    EXPECT_TRUE(CookiesFromRequestText(" ; ;", ".kesto.example").empty());
}

}  // namespace
}  // namespace kesto
