#include "app/desktop_services.h"

#include <utility>

#include "job/marketplace_steps.h"
#include "market/hosts.h"

namespace kesto {

DesktopServices::DesktopServices(DesktopPlatform platform)
    : platform_(std::move(platform)),
      passwordBrowser_(platform_.makeBrowserWindow),
      identity_(ProcessIdentity()),
      loginBrowser_(std::make_shared<LoginKesto>(platform_.makeBrowserWindow)) {
    identity_.SetCookieSource(loginBrowser_);
}

// The identity lets go of the login browser before the browser goes.
DesktopServices::~DesktopServices() {
    identity_.SetCookieSource(nullptr);
}

void DesktopServices::OpenLoginBrowser() {
    loginBrowser_->Create();
    loginBrowser_->Navigate(hosts::kPortal);
}

bool DesktopServices::CheckLogin() {
    return identity_.CheckLogin();
}

bool DesktopServices::LoginBrowserOpen() const {
    return loginBrowser_->HasOpenWindow();
}

void DesktopServices::OpenPasswordBrowser(const std::string& address) {
    passwordBrowser_.Create();
    passwordBrowser_.Navigate(address);
}

bool DesktopServices::OpenWithShell(const std::string& target) {
    return platform_.openWithShell && platform_.openWithShell(target);
}

bool DesktopServices::OpenShopFront(const std::string& address) {
    if (platform_.openShopFront) {
        return platform_.openShopFront(address);
    }
    return OpenWithShell(address);
}

void DesktopServices::RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) {
    const std::unique_ptr<DecorationSteps> steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
}

}  // namespace kesto
