#include "market/login_cookie_file.h"

#include <gtest/gtest.h>

#include "market/cookie_line.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

constexpr std::time_t kNow = 1'800'000'000;

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

TEST(LoginCookieFileTest, TakesTheLiveCookiesOfTheMarketplaceDomain) {
    const std::string file =
        "# Netscape HTTP Cookie File\n"
        "\n"
        ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to0000099\n"
        "#HttpOnly_.kesto.example\tTRUE\t/\tFALSE\t1900000000\tskey\t@abc\r\n"
        "member.kesto.example\tFALSE\t/\tFALSE\t0\tptui_loginuin\t99\n"
        "KESTO.EXAMPLE\tFALSE\t/\tFALSE\t0\tcase\tkept\n"
        ".kesto.example\tTRUE\t/\tFALSE\t1700000000\told\texpired\n"
        ".other.example\tTRUE\t/\tFALSE\t0\tuin\tforeign\n"
        ".notkesto.example\tTRUE\t/\tFALSE\t0\tuin\tlookalike\n"
        ".kesto.example\tTRUE\t/\tFALSE\tsoon\tbad\texpiry\n"
        "too\tfew\tfields\n"
        ".kesto.example\tTRUE\t/\tFALSE\t0\tempty\t";
    EXPECT_EQ(CookieTextFromFile(file, ".kesto.example", kNow),
              "uin=o0000099; skey=@abc; ptui_loginuin=99; case=kept; empty=");
    EXPECT_EQ(CookieTextFromFile("", ".kesto.example", kNow), "");
}

// What the login leaves behind is what kesto-decorate reads: the marketplace cookies, through a
// file only the user may read, replaced whole.
TEST(LoginCookieFileTest, SavedCookiesReadBackAsTheLogin) {
    const testing::TempFolder folder;
    const std::string path = folder.Folder() + "login/cookies.txt";
    net::Cookie lasting = MakeCookie("uin", "o0010001");
    lasting.expires = kNow + 1;
    net::Cookie expired = MakeCookie("old", "x");
    expired.expires = kNow - 1;
    ASSERT_TRUE(SaveLoginCookieFile(path, {MakeCookie("skey", "@abc"), lasting, expired}));
    std::string content;
    ASSERT_EQ(ReadCookieFile(path, content), FileReadResult::kRead);
    EXPECT_EQ(CookieTextFromFile(content, ".kesto.example", kNow), "skey=@abc; uin=o0010001");

    ASSERT_TRUE(SaveLoginCookieFile(path, {MakeCookie("skey", "@new")}));
    ASSERT_EQ(ReadCookieFile(path, content), FileReadResult::kRead);
    EXPECT_EQ(CookieTextFromFile(content, ".kesto.example", kNow), "skey=@new");
}

}  // namespace
}  // namespace kesto
