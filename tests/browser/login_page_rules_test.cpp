#include "browser/login_page_rules.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(ClassifyLoginPage, RecognisesTheLoginPagesWhateverTheCase) {
    const struct {
        const char* url;
        LoginPage page;
    } cases[] = {
        {"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2", LoginPage::Entry},
        {"HTTP://MEMBER.KESTO.EXAMPLE/CGI-BIN/LOGIN_ENTRY?LOGINLEVEL=2", LoginPage::Entry},
        {"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2&from=x", LoginPage::Entry},
        {"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=1", LoginPage::Other},
        {"https://member.kesto.example/cgi-bin/login_entry?LoginLevel=2", LoginPage::Other},
        {"http://www.kesto.example/", LoginPage::PortalFront},
        {"http://WWW.Kesto.Example/", LoginPage::PortalFront},
        {"http://www.kesto.example", LoginPage::Other},
        {"http://www.kesto.example/?a=1", LoginPage::Other},
        {"http://www.kesto.example/my", LoginPage::Other},
        {"", LoginPage::Other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyLoginPage(c.url), c.page) << c.url;
    }
}

TEST(FindLoginAnchor, TakesTheFirstAnchorReadingExactlyTheLoginWord) {
    EXPECT_EQ(FindLoginAnchor({"首页", " 登录", "登录 ", "登录", "登录"}), 3U);
    EXPECT_EQ(FindLoginAnchor({"登录"}), 0U);
    EXPECT_EQ(FindLoginAnchor({"首页", "注册"}), std::nullopt);
    EXPECT_EQ(FindLoginAnchor({}), std::nullopt);
}

}  // namespace
}  // namespace kesto
