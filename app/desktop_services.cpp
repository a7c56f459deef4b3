#include "app/desktop_services.h"

#include <utility>

#include "job/marketplace_steps.h"
#include "job/parallel_uploads.h"
#include "market/hosts.h"
#include "platform/translation.h"
#include "support/bounded_file.h"
#include "support/fill_in.h"
#include "support/user_files.h"

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

bool DesktopServices::OpenShopFront(const std::string& address, std::function<void()> notOpened) {
    if (platform_.openShopFront) {
        return platform_.openShopFront(address, std::move(notOpened));
    }
    return OpenWithShell(address);
}

namespace {

// More than a setting file of a few lines ever holds.
constexpr std::uintmax_t kMaxSettingsBytes = 64 * 1024;

}  // namespace

int DesktopServices::ParallelUploads(std::string& problem) {
    const std::string folder = ProgramDataFolder();
    if (folder.empty()) {
        return kDefaultParallelUploads;
    }
    const std::string path = folder + kDesignSettingsFile;
    std::string text;
    const FileReadResult read = ReadRegularFile(path, kMaxSettingsBytes, text);
    if (read == FileReadResult::kMissing) {
        return kDefaultParallelUploads;
    }
    if (read != FileReadResult::kRead) {
        // TRANSLATORS: the file's path, then what is wrong with it ("is too large").
        problem = FillIn(Translate("the setting file {} {}"),
                         {path, Translate(DescribeFileReadResult(read))});
        return kDefaultParallelUploads;
    }
    std::string flaw;
    const int parallel = ParallelUploadsSetting(text, flaw);
    if (!flaw.empty()) {
        problem = FillIn(Translate("{}: {}"), {path, flaw});
    }
    return parallel;
}

void DesktopServices::RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) {
    const std::unique_ptr<DecorationSteps> steps =
        MakeMarketplaceSteps(progress, request.parallelUploads);
    RunDecorationJob(request, *steps, *progress);
}

}  // namespace kesto
