#include "app/login_only.h"

#include <gtest/gtest.h>

#include "app/desktop_services.h"
#include "market/identity.h"
#include "tests/browser/fake_browser_window.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::FakeDocument;
using testing::FakeWindows;
using testing::TempFolder;

std::string CookieLines(const std::string& user, const std::string& sessionKey) {
    return ".kesto.example\tTRUE\t/\tFALSE\t0\tptui_loginuin\t" + user +
           "\n.kesto.example\tTRUE\t/\tFALSE\t0\tskey\t" + sessionKey + "\n";
}

// The login window's pages, then the user perhaps closing it, then one poll; the cookie file is
// what the platform's window left (or nothing).
TEST(LoginOnly, EndsOnceTheLoginIsCompleteAndLeftInTheCookieFileOrTheWindowIsClosed) {
    const std::string login = "ptui_loginuin=10001; skey=@abc";
    const struct {
        const char* name;
        const char* pageCookies;  // the last page's cookie text; null: no page completed
        bool userClosesWindow;
        const char* fileContent;  // null: no cookie file
        std::optional<int> exitCode;
        const char* messagePart;
    } cases[] = {
        {"logged in and left", login.c_str(), false, "10001/@abc", kLoginCompleted, ""},
        {"closed just after the login", login.c_str(), true, "10001/@abc", kLoginCompleted, ""},
        {"file not written", login.c_str(), false, nullptr, kLoginNotCompleted,
         "could not be left in"},
        {"an earlier login's file", login.c_str(), false, "10001/@old", kLoginNotCompleted,
         "could not be left in"},
        {"another account's file", login.c_str(), false, "10002/@abc", kLoginNotCompleted,
         "logged in as 10001"},
        {"closed before logging in", nullptr, true, nullptr, kLoginNotCompleted,
         "closed before the login completed"},
        {"closed on the login form", "pgv=1", true, nullptr, kLoginNotCompleted,
         "closed before the login completed"},
        {"still logging in", "pgv=1", false, nullptr, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string cookieFile = folder.Folder() + "cookies.txt";
        FakeWindows windows;
        DesktopPlatform platform;
        platform.makeBrowserWindow = windows.Factory();
        DesktopServices services(std::move(platform));
        LoginOnly loginOnly(services, ProcessIdentity(), cookieFile);

        ASSERT_FALSE(loginOnly.Start()) << c.name;
        ASSERT_NE(windows.newest, nullptr) << c.name;
        EXPECT_EQ(windows.log.navigations, std::vector<std::string>{"www.kesto.example"});
        EXPECT_FALSE(loginOnly.Poll()) << c.name;  // nothing yet
        if (c.fileContent != nullptr) {
            const std::string content = c.fileContent;
            const std::size_t slash = content.find('/');
            folder.Write("cookies.txt",
                         CookieLines(content.substr(0, slash), content.substr(slash + 1)));
        }
        if (c.pageCookies != nullptr) {
            FakeDocument page("http://www.kesto.example/my", {});
            windows.newest->Complete(c.pageCookies, page);
        }
        if (c.userClosesWindow) {
            windows.newest->Close();
        }
        const std::optional<LoginOnlyEnd> end = loginOnly.Poll();
        ASSERT_EQ(end.has_value(), c.exitCode.has_value()) << c.name;
        if (!end) {
            EXPECT_TRUE(windows.newest->IsOpen()) << c.name;
            continue;
        }
        EXPECT_EQ(end->exitCode, *c.exitCode) << c.name;
        EXPECT_NE(end->message.find(c.messagePart), std::string::npos) << c.name << end->message;
        EXPECT_EQ(end->message.empty(), end->exitCode == kLoginCompleted) << c.name;
        EXPECT_FALSE(windows.newest->IsOpen()) << c.name;  // a completed login closes its window
    }
}

TEST(LoginOnly, OpensNoWindowWhenTheLoginCouldBeLeftNowhere) {
    FakeWindows windows;
    DesktopPlatform platform;
    platform.makeBrowserWindow = windows.Factory();
    DesktopServices services(std::move(platform));
    LoginOnly loginOnly(services, ProcessIdentity(), "");
    const std::optional<LoginOnlyEnd> end = loginOnly.Start();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->exitCode, kLoginNotCompleted);
    EXPECT_EQ(windows.log.created, 0);
}

}  // namespace
}  // namespace kesto
