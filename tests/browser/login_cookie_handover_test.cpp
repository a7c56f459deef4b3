#include "browser/login_cookie_handover.h"

#include <gtest/gtest.h>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::ReadFile;
using testing::TempFolder;

net::Cookie CookieOf(const std::string& domain, const std::string& name) {
    net::Cookie cookie;
    cookie.domain = domain;
    cookie.includeSubdomains = domain.starts_with('.');
    cookie.name = name;
    cookie.value = "v";
    return cookie;
}

// The login window also visited another site; only the marketplace's cookies are written.
TEST(LoginCookieHandover, WritesOnlyTheMarketplacesCookies) {
    const TempFolder folder;
    const std::string path = folder.Folder() + "cookies.txt";
    ASSERT_TRUE(HandOverLoginCookies(
        {CookieOf(".other.example", "track"), CookieOf(".kesto.example", "uin"),
         CookieOf("www.other.example", "skey"), CookieOf("member.kesto.example", "ptui_loginuin")},
        path));
    EXPECT_EQ(ReadFile(folder.path() / "cookies.txt"),
              "# Netscape HTTP Cookie File\n"
              ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\tv\n"
              "member.kesto.example\tFALSE\t/\tFALSE\t0\tptui_loginuin\tv\n");

    // A page with no marketplace cookie leaves the earlier login's file as it was.
    EXPECT_TRUE(HandOverLoginCookies({CookieOf(".other.example", "track")}, path));
    EXPECT_NE(ReadFile(folder.path() / "cookies.txt").find("ptui_loginuin"), std::string::npos);

    folder.Write("plain-file", "x");
    EXPECT_FALSE(HandOverLoginCookies({CookieOf(".kesto.example", "uin")},
                                      folder.Folder() + "plain-file/cookies.txt"));
}

}  // namespace
}  // namespace kesto
