#pragma once
// The desktop program's process-wide objects and the dialog's services over them. They are
// built in start-up order and go in the reverse order: the first shop session (it keeps the
// graphics library started between jobs), the password browser, the login identity, and the
// login browser as the identity's cookie source until the program ends. Only opening things in
// the user's default programs and making browser windows are the platform's.

#include <functional>
#include <memory>
#include <string>

#include "app/design_services.h"
#include "browser/browser_window.h"
#include "browser/login_kesto.h"
#include "browser/password_browser.h"
#include "market/identity.h"
#include "market/shop_session.h"

namespace kesto {

// What only the platform can do for the desktop program; each front end's start-up fills it
// once.
struct DesktopPlatform {
    // Makes the platform's browser windows, for the login and the password browsers.
    BrowserWindowFactory makeBrowserWindow;
    // Opens a file or an address in the user's default program; true when one was started.
    std::function<bool(const std::string&)> openWithShell;
    // Opens the shop front after a job; when empty, openWithShell does. A platform whose default
    // browser may keep the caller waiting while it starts gives one that does not: it answers
    // true at once and calls the second argument, from any thread, when the opening fails.
    std::function<bool(const std::string&, std::function<void()>)> openShopFront;
};

class DesktopServices final : public DesignServices {
  public:
    explicit DesktopServices(DesktopPlatform platform);
    ~DesktopServices() override;
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

    void OpenLoginBrowser() override;
    bool CheckLogin() override;
    bool LoginBrowserOpen() const override;
    void OpenPasswordBrowser(const std::string& address) override;
    bool OpenWithShell(const std::string& target) override;
    bool OpenShopFront(const std::string& address, std::function<void()> notOpened) override;
    // Runs the marketplace client's steps.
    void RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) override;
    // Read from the setting file in the program's data folder, at every job.
    int ParallelUploads(std::string& problem) override;

  private:
    DesktopPlatform platform_;
    const ShopSession processSession_;
    PasswordBrowser passwordBrowser_;
    LoginIdentity& identity_;
    const std::shared_ptr<LoginKesto> loginBrowser_;
};

}  // namespace kesto
