// kesto-design.exe: the desktop program on Windows. Builds the process-wide objects in their
// start-up order, runs the main dialog modally, and lets the objects go in the reverse order.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <memory>

#include "app/win32/design_dlg.h"
#include "app/win32/shell_open.h"
#include "browser/login_kesto.h"
#include "browser/win32/control_browser_window.h"
#include "browser/win32/login_cookie_file_win32.h"
#include "job/marketplace_steps.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "market/shop_session.h"
#include "platform/win32/wide_text.h"
#include "support/user_files.h"

namespace {

using kesto::win32::Narrow;

// OLE for the dialog's thread, for as long as the browsers live.
class OleSession {
  public:
    OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (initialised_) {
            OleUninitialize();
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

  private:
    bool initialised_;
};

// The module object: the program's own instance, which holds its resources.
struct CFakeModule {
    HINSTANCE instance;
};

// The login browser is the identity's cookie source from its construction until the dialog
// has ended; the identity lets go of it before the browser goes.
class CookieSourceBinding {
  public:
    explicit CookieSourceBinding(std::shared_ptr<kesto::CookieSource> source) {
        kesto::ProcessIdentity().SetCookieSource(std::move(source));
    }
    ~CookieSourceBinding() { kesto::ProcessIdentity().SetCookieSource(nullptr); }
    CookieSourceBinding(const CookieSourceBinding&) = delete;
    CookieSourceBinding& operator=(const CookieSourceBinding&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const OleSession ole;

    // The process-wide objects, in start-up order.
    const kesto::ShopSession processSession;  // starts the graphics library
    kesto::win32::ControlBrowserWindow::RegisterWindowClasses();
    // After each completed page, the login's cookies are left where kesto-decorate looks.
    kesto::win32::ControlBrowserSettings browserSettings;
    browserSettings.afterTopLevelDocument = [cookieFile = kesto::DesktopCookieFile()] {
        kesto::win32::LeaveLoginCookies(cookieFile);
    };
    const kesto::BrowserWindowFactory makeBrowserWindow =
        kesto::win32::MakeControlBrowserFactory(browserSettings);
    kesto::MiniBrowser passwordBrowser(makeBrowserWindow);
    const CFakeModule module{instance};
    kesto::ProcessIdentity();  // the two identity texts, empty
    const auto loginBrowser = std::make_shared<kesto::LoginKesto>(makeBrowserWindow);
    const CookieSourceBinding identitySource(loginBrowser);

    kesto::win32::DesignDlgServices services;
    services.openLoginBrowser = [&loginBrowser] {
        loginBrowser->Create();
        loginBrowser->Navigate(kesto::hosts::kPortal);
    };
    services.openPasswordBrowser = [&passwordBrowser](const std::wstring& address) {
        passwordBrowser.Create();
        passwordBrowser.Navigate(Narrow(address));
    };
    services.checkLogin = [] { return kesto::CheckLogin(); };
    services.openWithShell = &kesto::win32::ShellOpen;
    services.openShopFront = &kesto::win32::ShellOpenOnOwnThread;
    services.makeSteps = &kesto::MakeMarketplaceSteps;

    {
        kesto::win32::DesignDlg dialog(std::move(services),
                                       kesto::win32::TemplateRootBesideExecutable());
        dialog.DoModal(module.instance);
    }
    return 1;
}
