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

TEST(FindLoginAnchor, TakesTheFirstAnchorReadingTheLoginWord) {
    // White space around the word counts for nothing (an engine keeps the markup's).
    EXPECT_EQ(FindLoginAnchor({"首页", " 登录", "登录 ", "登录", "登录"}), 1U);
    EXPECT_EQ(FindLoginAnchor({"登录"}), 0U);
    EXPECT_EQ(FindLoginAnchor({"首页", "注册"}), std::nullopt);
    EXPECT_EQ(FindLoginAnchor({}), std::nullopt);
}

TEST(FindLoginAnchor, IgnoresWhiteSpaceAroundTheWordOnly) {
    const struct {
        const char* text;
        bool matches;
    } cases[] = {
        {"登录", true},
        {"\n\t 登录 \r\n", true},
        {"\xC2\xA0登录\xC2\xA0", true},          // no-break spaces
        {"\xE3\x80\x80登录\xE3\x80\x80", true},  // ideographic spaces
        {"登 录", false},
        {"登录帮助", false},
        {" ", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindLoginAnchor({"首页", c.text}),
                  c.matches ? std::optional<std::size_t>(1) : std::nullopt)
            << c.text;
    }
}

}  // namespace
}  // namespace kesto
