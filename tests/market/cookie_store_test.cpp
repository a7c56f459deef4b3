#include "market/cookie_store.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(CookieStore, ParsesNetscapeLines) {
    const auto cookie = ParseCookieLine(
        "#HttpOnly_.kesto.example\tTRUE\t/cgi-bin\tFALSE\t1893456000\tskey\t@a=b\r\n");
    ASSERT_TRUE(cookie);
    EXPECT_TRUE(cookie->httpOnly);
    EXPECT_EQ(cookie->domain, ".kesto.example");
    EXPECT_TRUE(cookie->includeSubdomains);
    EXPECT_EQ(cookie->path, "/cgi-bin");
    EXPECT_FALSE(cookie->secure);
    EXPECT_EQ(cookie->expires, 1893456000);
    EXPECT_EQ(cookie->name, "skey");
    EXPECT_EQ(cookie->value, "@a=b");

    const char* refused[] = {
        "# Netscape HTTP Cookie File",
        "",
        ".kesto.example\tTRUE\t/\tFALSE\t0\tuin",              // six fields
        ".kesto.example\tTRUE\t/\tFALSE\tsoon\tuin\t1",        // expiry not a number
        ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\t1; other=2",  // a second cookie smuggled in
        ".kesto.example\tTRUE\t/\tFALSE\t0\tu=in\t1",
        ".kesto.example\tTRUE\t/\tFALSE\t0\t\t1",
        ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\t1\textra",
    };
    for (const char* line : refused) {
        EXPECT_FALSE(ParseCookieLine(line)) << line;
    }
}

TEST(CookieStore, StoresEveryCookieOfAFile) {
    EXPECT_EQ(StoreCookieFile("# Netscape HTTP Cookie File\n\n"
                              ".kesto.example\tTRUE\t/\tFALSE\t0\tfile_a\t1\r\n"
                              "broken line\n"
                              "#HttpOnly_.kesto.example\tTRUE\t/\tFALSE\t0\tfile_b\t2"),
              2);
}

TEST(CookieStore, StoresOnlyTheMarketplacesCookies) {
    EXPECT_EQ(StoreCookieFile(".other.example\tTRUE\t/\tFALSE\t0\tuin\tforeign\n"
                              ".kesto.example\tTRUE\t/\tFALSE\t0\tonly_a\t1\n"
                              "www.other.example\tFALSE\t/\tFALSE\t0\tskey\tforeign\n"
                              ".kesto.example\tTRUE\t/\tFALSE\t0\tonly_a\t2\n"),
              1);
    EXPECT_FALSE(StoreCookieLine(".notkesto.example\tTRUE\t/\tFALSE\t0\tuin\t1"));
}

}  // namespace
}  // namespace kesto
