#include "app/desktop_services.h"

#include <gtest/gtest.h>

#include "market/identity.h"
#include "tests/browser/fake_browser_window.h"

namespace kesto {
namespace {

using testing::FakeDocument;
using testing::FakeWindows;
using Lines = std::vector<std::string>;

DesktopPlatform Browsers(FakeWindows& windows) {
    DesktopPlatform platform;
    platform.makeBrowserWindow = windows.Factory();
    return platform;
}

TEST(DesktopServices, TheLoginBrowserIsTheIdentitysSourceUntilTheServicesGo) {
    FakeWindows windows;
    {
        DesktopServices services(Browsers(windows));
        EXPECT_FALSE(services.CheckLogin());  // no login page yet

        services.OpenLoginBrowser();
        ASSERT_NE(windows.newest, nullptr);
        auto& login = *windows.newest;
        EXPECT_EQ(windows.log.navigations, Lines{"www.kesto.example"});
        FakeDocument page("http://www.kesto.example/my", {});
        login.Complete("ptui_loginuin=10001; skey=@abc", page);
        EXPECT_TRUE(services.CheckLogin());
        EXPECT_FALSE(login.IsOpen());  // a completed login closes its browser
        EXPECT_EQ(ProcessIdentity().Current().userNumber, "10001");

        const std::string password = "http://member.kesto.example/cgi-bin/login_entry";
        services.OpenPasswordBrowser(password);
        EXPECT_EQ(windows.log.created, 2);  // a window of its own
        EXPECT_EQ(windows.log.navigations.back(), password);
    }
    // The identity reads no browser that has gone.
    EXPECT_FALSE(ProcessIdentity().CheckLogin());
}

TEST(DesktopServices, TheLoginBrowserIsOpenFromLoginUntilTheLoginCompletes) {
    FakeWindows windows;
    DesktopServices services(Browsers(windows));
    EXPECT_FALSE(services.LoginBrowserOpen());
    services.OpenLoginBrowser();
    EXPECT_TRUE(services.LoginBrowserOpen());
    FakeDocument page("http://www.kesto.example/my", {});
    windows.newest->Complete("ptui_loginuin=10002; skey=@def", page);
    ASSERT_TRUE(services.CheckLogin());
    EXPECT_FALSE(services.LoginBrowserOpen());
}

TEST(DesktopServices, TheShellOpensFilesAndTheShopFrontTakesItsOwnOpenerWhenGiven) {
    const struct {
        const char* name;
        bool ownShopFrontOpener;
        Lines shell;
        Lines shopFront;
    } cases[] = {
        {"own opener", true, {"/t/a/cover.jpg"}, {"http://shop.kesto.example/1"}},
        {"the shell", false, {"/t/a/cover.jpg", "http://shop.kesto.example/1"}, {}},
    };
    for (const auto& c : cases) {
        FakeWindows windows;
        Lines shell;
        Lines shopFront;
        DesktopPlatform platform = Browsers(windows);
        platform.openWithShell = [&shell](const std::string& target) {
            shell.push_back(target);
            return true;
        };
        if (c.ownShopFrontOpener) {
            platform.openShopFront = [&shopFront](const std::string& address,
                                                  std::function<void()> /*notOpened*/) {
                shopFront.push_back(address);
                return true;
            };
        }
        DesktopServices services(std::move(platform));
        EXPECT_TRUE(services.OpenWithShell("/t/a/cover.jpg")) << c.name;
        EXPECT_TRUE(services.OpenShopFront("http://shop.kesto.example/1", {})) << c.name;
        EXPECT_EQ(shell, c.shell) << c.name;
        EXPECT_EQ(shopFront, c.shopFront) << c.name;
    }
    FakeWindows windows;
    DesktopServices withoutShell(Browsers(windows));
    EXPECT_FALSE(withoutShell.OpenWithShell("/t/a/cover.jpg"));
}

}  // namespace
}  // namespace kesto
