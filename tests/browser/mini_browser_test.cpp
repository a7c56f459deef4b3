#include "browser/mini_browser.h"

#include <gtest/gtest.h>

#include "browser/login_kesto.h"
#include "tests/browser/fake_browser_window.h"

namespace kesto {
namespace {

using testing::FakeDocument;
using testing::FakeWindows;

constexpr char kPortalFront[] = "http://www.kesto.example/";
constexpr char kLoginEntry[] = "http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2";

TEST(MiniBrowser, KeepsTheCookieTextOfTheLastTopLevelDocument) {
    FakeWindows windows;
    MiniBrowser browser(windows.Factory());
    browser.Create();
    EXPECT_EQ(browser.GetCookie(), std::nullopt);  // nothing completed yet
    ASSERT_TRUE(browser.Navigate("www.kesto.example"));
    FakeDocument page("http://www.kesto.example/my", {});
    windows.newest->Complete("uin=o10001; skey=abc", page);
    EXPECT_EQ(browser.GetCookie(), "uin=o10001; skey=abc");
    windows.newest->Complete("", page);
    EXPECT_EQ(browser.GetCookie(), std::nullopt);  // empty text counts as none
    windows.newest->Complete("a=1", page);
    browser.Navigate("www.kesto.example");
    EXPECT_EQ(browser.GetCookie(), std::nullopt);  // every navigation empties it
}

TEST(MiniBrowser, NavigateWithoutWindowFailsAndStillEmptiesTheCookieText) {
    FakeWindows windows;
    MiniBrowser browser(windows.Factory());
    EXPECT_FALSE(browser.Navigate("www.kesto.example"));
    browser.Create();
    FakeDocument page("http://www.kesto.example/my", {});
    windows.newest->Complete("a=1", page);
    browser.Close();
    EXPECT_EQ(browser.GetCookie(), "a=1");  // closing keeps the captured text
    EXPECT_FALSE(browser.Navigate("www.kesto.example"));
    EXPECT_EQ(browser.GetCookie(), std::nullopt);
}

TEST(MiniBrowser, CreateKeepsAnOpenWindowAndReplacesAClosedOne) {
    FakeWindows windows;
    MiniBrowser browser(windows.Factory());
    browser.Create();
    browser.Create();
    EXPECT_EQ(windows.log.created, 1);
    EXPECT_EQ(windows.log.presented, 1);
    browser.Close();
    EXPECT_FALSE(browser.HasOpenWindow());
    browser.Create();
    EXPECT_EQ(windows.log.created, 2);
    EXPECT_TRUE(browser.Navigate("www.kesto.example"));
    EXPECT_EQ(windows.log.navigations, std::vector<std::string>{"www.kesto.example"});
}

TEST(MiniBrowser, ClosesItsWindowWhenTheLoginIsComplete) {
    FakeWindows windows;
    MiniBrowser browser(windows.Factory());
    browser.Create();
    CookieSource& source = browser;
    source.CloseLogin();
    EXPECT_FALSE(browser.HasOpenWindow());
}

TEST(LoginKesto, ClicksThePortalsLoginLinkAndNothingElse) {
    FakeWindows windows;
    LoginKesto browser(windows.Factory());
    browser.Create();
    FakeDocument portal(kPortalFront, {"首页", "登录帮助", "登录", "登录"});
    windows.newest->Complete("a=1", portal);
    ASSERT_EQ(portal.clicks.size(), 1U);
    EXPECT_EQ(portal.clicks[0].first, 2U);
    EXPECT_EQ(portal.clicks[0].second, "登录");
    EXPECT_EQ(browser.GetCookie(), "a=1");

    FakeDocument noLink(kPortalFront, {"首页"});
    windows.newest->Complete("a=1", noLink);
    EXPECT_TRUE(noLink.clicks.empty());

    FakeDocument otherPage("http://www.kesto.example/my", {"登录"});
    windows.newest->Complete("a=1", otherPage);
    EXPECT_TRUE(otherPage.clicks.empty());
}

TEST(LoginKesto, ClicksALoginLinkWithWhiteSpaceAroundItsWordAsItReads) {
    FakeWindows windows;
    LoginKesto browser(windows.Factory());
    browser.Create();
    FakeDocument portal(kPortalFront, {"首页", "\n  登录\n"});
    windows.newest->Complete("a=1", portal);
    ASSERT_EQ(portal.clicks.size(), 1U);
    EXPECT_EQ(portal.clicks[0].first, 1U);
    EXPECT_EQ(portal.clicks[0].second, "\n  登录\n");  // the text the anchor must still read
}

TEST(LoginKesto, ForgetsTheCookieTextOfTheLoginEntryPage) {
    FakeWindows windows;
    LoginKesto browser(windows.Factory());
    browser.Create();
    FakeDocument entry(kLoginEntry, {"登录"});
    windows.newest->Complete("uin=o10001; skey=old", entry);
    EXPECT_EQ(browser.GetCookie(), std::nullopt);
    EXPECT_TRUE(entry.clicks.empty());
    FakeDocument after("http://www.kesto.example/my", {});
    windows.newest->Complete("uin=o10001; skey=new", after);
    EXPECT_EQ(browser.GetCookie(), "uin=o10001; skey=new");
}

}  // namespace
}  // namespace kesto
