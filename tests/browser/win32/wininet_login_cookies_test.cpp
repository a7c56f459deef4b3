// The login's cookies left for kesto-decorate, from WinINet's own cookie store (under Wine).

#include "browser/win32/wininet_login_cookies.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include <algorithm>
#include <functional>
#include <vector>

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

// WinINet's answer, played back: the size query's answer (in bytes, or in characters), then the
// sizes the text has grown to by each read.
class GrowingCookies {
  public:
    GrowingCookies(DWORD sizeAnswer, std::vector<std::wstring> texts)
        : sizeAnswer_(sizeAnswer), texts_(std::move(texts)) {}

    BOOL operator()(wchar_t* buffer, DWORD* size) {
        if (buffer == nullptr) {
            *size = sizeAnswer_;
            return TRUE;
        }
        const std::wstring& text = texts_[std::min(reads_++, texts_.size() - 1)];
        if (*size < text.size() + 1) {
            *size = static_cast<DWORD>(text.size() + 1);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        text.copy(buffer, text.size());
        buffer[text.size()] = L'\0';
        *size = static_cast<DWORD>(text.size());
        return TRUE;
    }

  private:
    DWORD sizeAnswer_;
    std::vector<std::wstring> texts_;
    std::size_t reads_ = 0;
};

TEST(LoginCookieFileTest, ReadsACookieTextThatGrowsAfterItsSizeWasAsked) {
    const std::wstring small = L"uin=o1";
    const std::wstring grown = L"uin=o1; skey=@a; ptui_loginuin=1";
    const struct {
        const char* name;
        DWORD sizeAnswer;
        std::vector<std::wstring> texts;
        std::wstring read;
    } cases[] = {
        {"size in characters", 7, {small}, small},
        {"size in bytes", 14, {small}, small},
        {"grew once", 7, {grown}, grown},
        {"grew at every read", 7, {grown + L"; a=1", grown + L"; a=1; b=2", grown}, grown},
        {"keeps growing",
         7,
         {std::wstring(40, L'x'), std::wstring(400, L'x'), std::wstring(4000, L'x'),
          std::wstring(40000, L'x')},
         L""},
        {"nothing", 0, {small}, L""},
    };
    for (const auto& c : cases) {
        GrowingCookies cookies(c.sizeAnswer, c.texts);
        EXPECT_EQ(ReadCookieQuery(std::ref(cookies)), c.read) << c.name;
    }
}

}  // namespace
}  // namespace kesto::win32
