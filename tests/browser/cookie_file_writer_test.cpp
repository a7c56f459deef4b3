#include "browser/cookie_file_writer.h"

#include <gtest/gtest.h>

#include "market/cookie_store.h"

namespace kesto {
namespace {

net::Cookie MakeCookie(std::string name, std::string value) {
    net::Cookie cookie;
    cookie.domain = ".kesto.example";
    cookie.includeSubdomains = true;
    cookie.name = std::move(name);
    cookie.value = std::move(value);
    return cookie;
}

void ExpectSameCookie(const net::Cookie& read, const net::Cookie& written) {
    EXPECT_EQ(read.domain, written.domain);
    EXPECT_EQ(read.includeSubdomains, written.includeSubdomains);
    EXPECT_EQ(read.path, written.path);
    EXPECT_EQ(read.secure, written.secure);
    EXPECT_EQ(read.expires, written.expires);
    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.value, written.value);
    EXPECT_EQ(read.httpOnly, written.httpOnly);
}

TEST(CookieFileText, LinesReadBackAsTheSameCookies) {
    net::Cookie session = MakeCookie("skey", "@abc=1");
    net::Cookie lasting = MakeCookie("uin", "o0010001");
    lasting.expires = 1893456000;
    lasting.secure = true;
    lasting.path = "/cgi-bin";
    net::Cookie httpOnly = MakeCookie("sid", "");
    httpOnly.httpOnly = true;
    net::Cookie hostOnly = MakeCookie("h", "1");
    hostOnly.domain = "member.kesto.example";
    hostOnly.includeSubdomains = false;
    for (const net::Cookie& cookie : {session, lasting, httpOnly, hostOnly}) {
        const auto line = FormatCookieLine(cookie);
        ASSERT_TRUE(line.has_value()) << cookie.name;
        const auto read = ParseCookieLine(*line);
        ASSERT_TRUE(read.has_value()) << *line;
        ExpectSameCookie(*read, cookie);
    }
    EXPECT_EQ(FormatCookieLine(httpOnly), "#HttpOnly_.kesto.example\tTRUE\t/\tFALSE\t0\tsid\t");
}

TEST(CookieFileText, CookiesThatWouldBreakTheLineAreLeftOut) {
    const std::vector<net::Cookie> cookies = {MakeCookie("a", "1"), MakeCookie("b", "x\ny"),
                                              MakeCookie("c\t", "2"), MakeCookie("", "3"),
                                              MakeCookie("d", "4")};
    EXPECT_EQ(CookieFileText(cookies),
              "# Netscape HTTP Cookie File\n"
              ".kesto.example\tTRUE\t/\tFALSE\t0\ta\t1\n"
              ".kesto.example\tTRUE\t/\tFALSE\t0\td\t4\n");
}

}  // namespace
}  // namespace kesto
