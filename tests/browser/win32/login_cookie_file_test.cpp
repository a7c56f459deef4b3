// The login's cookies left for kesto-decorate, from WinINet's own cookie store (under Wine).

#include "browser/win32/login_cookie_file_win32.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include "tests/common/temp_folder.h"

namespace kesto::win32 {
namespace {

using kesto::testing::ReadFile;
using kesto::testing::TempFolder;

TEST(LoginCookieFileTest, WritesTheMarketplaceCookiesOfWinInetHttpOnlyOnesIncluded) {
    ASSERT_TRUE(InternetSetCookieW(L"http://member.kesto.example/", L"uin",
                                   L"o10001; domain=.kesto.example; path=/"));
    ASSERT_NE(InternetSetCookieExW(L"http://member.kesto.example/", L"skey",
                                   L"@key1; domain=.kesto.example; path=/; httponly",
                                   INTERNET_COOKIE_HTTPONLY, 0),
              0u);
    ASSERT_TRUE(InternetSetCookieW(L"http://elsewhere.example/", L"other", L"1"));

    const std::string text = MarketplaceCookieFileText();
    EXPECT_NE(text.find(".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to10001\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\tskey\t@key1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("other"), std::string::npos) << text;

    const TempFolder folder;
    const std::string path = folder.Folder() + "kesto-decor\\cookies.txt";
    EXPECT_TRUE(LeaveLoginCookies(path));
    EXPECT_EQ(ReadFile(folder.path() / "kesto-decor" / "cookies.txt"), text);
}

}  // namespace
}  // namespace kesto::win32
