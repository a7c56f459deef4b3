#include "browser/password_browser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/browser/fake_browser_window.h"

namespace kesto {
namespace {

using testing::FakeDocument;
using testing::FakeWindows;

constexpr char kEntry[] = "http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2";
// Steps of a sequence: the text of a completed document, or the program navigating again.
constexpr char kNavigate[] = "(navigate)";
constexpr char kForm[] = "交易密码验证\n交易密码验证\n请输入交易密码 \n";
constexpr char kWrong[] = "交易密码验证\n交易密码不正确。\n请输入交易密码 \n";
constexpr char kPortal[] = "我的Kesto\n我的Kesto\n欢迎您，10001。\n我的店铺";
constexpr char kLogin[] = "Kesto 登录\n请先登录。\n帐号 \n密码 \n";
constexpr char kOneMarker[] = "交易密码验证\n为了您的帐户安全，请先验证。";

struct Case {
    const char* name;
    std::vector<std::string> steps;
    // The step after which the window closes; none when it stays open.
    std::optional<std::size_t> closesAfter;
};

TEST(PasswordBrowser, ClosesAtTheFirstPageWithoutTheFormOnceTheFormWasShown) {
    const Case cases[] = {
        {"right password", {kForm, kPortal}, 1},
        {"wrong passwords, then the right one", {kForm, kWrong, kWrong, kPortal}, 3},
        {"a page other than the portal", {kForm, kLogin}, 1},
        {"a document without text", {kForm, ""}, 1},
        {"no form yet", {kLogin, kPortal, ""}, std::nullopt},
        {"the login first, then the form", {kLogin, kForm, kPortal}, 2},
        {"one marker is not the form", {kOneMarker, kPortal}, std::nullopt},
        {"only forms", {kForm, kWrong, kForm}, std::nullopt},
        {"the program's navigation starts over", {kForm, kNavigate, kPortal}, std::nullopt},
        {"the form again after navigating", {kForm, kNavigate, kForm, kPortal}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindows windows;
        PasswordBrowser browser(windows.Factory());
        browser.Create();
        ASSERT_TRUE(browser.Navigate(kEntry));
        for (std::size_t step = 0; step < c.steps.size(); ++step) {
            if (c.steps[step] == kNavigate) {
                ASSERT_TRUE(browser.Navigate(kEntry));
            } else {
                FakeDocument page(kEntry, {}, c.steps[step]);
                windows.newest->Complete("uin=o10001; skey=abc", page);
            }
            const bool closed = c.closesAfter && step >= *c.closesAfter;
            EXPECT_EQ(browser.HasOpenWindow(), !closed) << "after step " << step;
        }
        EXPECT_EQ(windows.log.closedDuringEvent, 0);
    }
}

TEST(PasswordBrowser, KeepsTheCookieTextAndStartsOverInANewWindow) {
    FakeWindows windows;
    PasswordBrowser browser(windows.Factory());
    browser.Create();
    ASSERT_TRUE(browser.Navigate(kEntry));
    FakeDocument form(kEntry, {}, kForm);
    windows.newest->Complete("a=1", form);
    FakeDocument portal("http://www.kesto.example/my", {}, kPortal);
    windows.newest->Complete("a=2", portal);
    EXPECT_FALSE(browser.HasOpenWindow());
    EXPECT_EQ(browser.GetCookie(), "a=2");  // the captured text stays

    // A new window starts without the form.
    browser.Create();
    EXPECT_EQ(windows.log.created, 2);
    ASSERT_TRUE(browser.Navigate(kEntry));
    windows.newest->Complete("a=3", portal);
    EXPECT_TRUE(browser.HasOpenWindow());
}

}  // namespace
}  // namespace kesto
