#include "app/design_dialog.h"

#include <utility>

#include "app/progress_list_lines.h"
#include "job/categories_warning.h"
#include "market/hosts.h"
#include "platform/translation.h"
#include "support/fill_in.h"
#include "support/printable_text.h"
#include "templates/template_catalog.h"
#include "templates/template_folder.h"

namespace kesto {

namespace {

constexpr char kLoggedInLine[] = "已登录.";
constexpr char kLoggingInLine[] = "正在登录...";
constexpr char kWarningCaption[] = "提示";
// The lines the dialog adds of its own, in the user's language.
constexpr const char* kShopAddressLine = TranslatedLater("Shop address: {}");
constexpr const char* kShopFrontNotOpened =
    TranslatedLater("Could not open the shop front: open the address above in a browser.");
constexpr const char* kNoPreviewPicture =
    TranslatedLater("The template has no picture to preview.");
constexpr const char* kPreviewNotOpened = TranslatedLater("Could not open the preview picture: {}");
constexpr const char* kLoginAfterJobLine =
    TranslatedLater("Decorating: log in again once the decoration has finished.");
constexpr const char* kFinishLoginFirstLine =
    TranslatedLater("Finish logging in, or close the login window, first.");
// Before the setting file's problem: the job uploads its pictures one after another.
constexpr const char* kSettingProblemLine =
    TranslatedLater("The settings are wrong, so the pictures upload one at a time: {}");
// The Login button keeps its Chinese caption in every language, so the line names it so.
constexpr const char* kLoginWindowClosedLine =
    TranslatedLater("The login window was closed: press 登录 (Login) to log in again.");
constexpr const char* kLoginNotCompletedLine = TranslatedLater(
    "The login has not completed: check the network or proxy settings, or close "
    "the login window and try again.");

// The polls that make up the wait, a period of 0 counting as 1 ms; at least one.
unsigned PollsIn(unsigned milliseconds, unsigned pollMilliseconds) {
    const unsigned period = pollMilliseconds == 0 ? 1 : pollMilliseconds;
    return milliseconds / period + (milliseconds % period == 0 ? 0 : 1);
}

}  // namespace

DesignDialog::DesignDialog(DesignDialogView& view, DesignServices& services,
                           unsigned loginPollMilliseconds, std::function<void()> shopFrontNotOpened)
    : view_(view),
      services_(services),
      loginPollMilliseconds_(loginPollMilliseconds),
      shopFrontNotOpened_(std::move(shopFrontNotOpened)),
      loginWaitPolls_(PollsIn(kLoginWaitMilliseconds, loginPollMilliseconds)) {}

void DesignDialog::OnInit(const std::vector<std::string>& templateRoots) {
    for (TemplateEntry& found : ListTemplates(templateRoots)) {
        view_.AddTemplate(PrintableText(found.name));  // a folder's name may hold a line break
        templatePaths_.push_back(std::move(found.folder));
    }
    if (!templatePaths_.empty()) {
        view_.SelectTemplate(0);
    }
    for (const Area area : {Area::ShopSign, Area::MainPage, Area::Categories}) {
        view_.SetAreaChecked(area, true);
    }
    view_.EnableUpload(false);
}

void DesignDialog::OnLogin() {
    if (jobRunning_) {
        view_.AddProgressLine(Translate(kLoginAfterJobLine));
        return;
    }
    services_.OpenLoginBrowser();
    view_.StartLoginTimer(loginPollMilliseconds_);
    loginPolling_ = true;
    unsuccessfulPolls_ = 0;
}

void DesignDialog::StopLoginPoll() {
    view_.StopLoginTimer();
    loginPolling_ = false;
}

bool DesignDialog::TakeCompletedLogin() {
    if (!services_.CheckLogin()) {
        return false;
    }
    StopLoginPoll();
    loggedIn_ = true;
    view_.EnableUpload(!jobRunning_);
    view_.AddProgressLine(kLoggedInLine);
    return true;
}

void DesignDialog::OnLoginTimer() {
    // A tick the timer had queued before it stopped finds no poll; a running job keeps the
    // login it started with.
    if (!loginPolling_ || jobRunning_ || TakeCompletedLogin()) {
        return;
    }
    // Asked after the login check: a login completed just before its window closed still counts.
    if (!services_.LoginBrowserOpen()) {
        StopLoginPoll();
        view_.AddProgressLine(Translate(kLoginWindowClosedLine));
        return;
    }
    if (unsuccessfulPolls_ == loginWaitPolls_) {
        return;  // said once that the login has not completed; the poll goes on quietly
    }
    ++unsuccessfulPolls_;
    if (unsuccessfulPolls_ == loginWaitPolls_) {
        view_.AddProgressLine(Translate(kLoginNotCompletedLine));
    } else if (unsuccessfulPolls_ % 2 == 0) {
        view_.AddProgressLine(kLoggingInLine);
    }
}

std::optional<JobRequest> DesignDialog::OnUpload() {
    const std::string templatePath = SelectedTemplatePath();
    if (jobRunning_ || templatePath.empty()) {
        return std::nullopt;
    }
    if (services_.LoginBrowserOpen()) {
        view_.AddProgressLine(Translate(kFinishLoginFirstLine));
        return std::nullopt;
    }
    if (loginPolling_) {
        TakeCompletedLogin();
    }
    if (!loggedIn_) {
        return std::nullopt;
    }
    JobRequest request;
    request.shopSign = view_.IsAreaChecked(Area::ShopSign);
    request.mainPage = view_.IsAreaChecked(Area::MainPage);
    request.categories = view_.IsAreaChecked(Area::Categories);
    if (request.categories && !categoriesWarningShown_) {
        categoriesWarningShown_ = true;
        if (!view_.AskYesNo(kCategoriesWarning, kWarningCaption)) {
            request.categories = false;
            view_.SetAreaChecked(Area::Categories, false);
        }
    }
    request.templatePath = templatePath;
    std::string settingProblem;
    request.parallelUploads = services_.ParallelUploads(settingProblem);
    if (!settingProblem.empty()) {
        view_.AddProgressLine(FillIn(Translate(kSettingProblemLine), {settingProblem}));
    }
    jobRunning_ = true;
    view_.EnableUpload(false);
    return request;
}

void DesignDialog::OnPreview() {
    const std::string templatePath = SelectedTemplatePath();
    if (templatePath.empty()) {
        return;
    }
    const std::string picture =
        FindFirstPicture(ReadTemplateFolder(templatePath, TemplateAreas{}).top.files);
    if (picture.empty()) {
        view_.AddProgressLine(Translate(kNoPreviewPicture));
    } else if (!services_.OpenWithShell(templatePath + picture)) {
        view_.AddProgressLine(FillIn(Translate(kPreviewNotOpened), {templatePath + picture}));
    }
}

void DesignDialog::OnProgress(const ProgressMessage& message) {
    if (message.kind == kTransactionPassword) {
        services_.OpenPasswordBrowser(hosts::Address(hosts::kMember, hosts::kLoginEntryPath));
    }
    if (const auto line = ProgressLine(message)) {
        for (const std::string& piece : ProgressListLines(*line)) {
            view_.AddProgressLine(piece);
        }
    }
    // An empty shop front address (no user number) opens nothing.
    if (message.kind == kDecorationFinished && !message.text.empty()) {
        view_.AddProgressLine(FillIn(Translate(kShopAddressLine), {message.text}));
        if (!services_.OpenShopFront(message.text, shopFrontNotOpened_)) {
            OnShopFrontNotOpened();
        }
    }
}

void DesignDialog::OnShopFrontNotOpened() {
    view_.AddProgressLine(Translate(kShopFrontNotOpened));
}

void DesignDialog::OnJobEnded() {
    jobRunning_ = false;
    view_.EnableUpload(loggedIn_);
}

std::string DesignDialog::SelectedTemplatePath() const {
    const int selected = view_.SelectedTemplate();
    if (selected < 0 || static_cast<std::size_t>(selected) >= templatePaths_.size()) {
        return {};
    }
    return templatePaths_[static_cast<std::size_t>(selected)];
}

}  // namespace kesto
