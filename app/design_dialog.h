#pragma once
// What the main dialog does, whichever toolkit draws it: the template list, the login poll, the
// categories warning, Upload, Preview and the progress lines. DesignProgram owns it and hands it
// the front end's events; it shows the results through DesignDialogView and acts through
// DesignServices. Upload hands the job it asks for back to DesignProgram, which runs it.
//
// One account per job: a job's requests carry the login's cookies from the process's one cookie
// store, which the login browser's pages change. So a job and the login browser never run at the
// same time: Login is refused while a job runs, the login poll rests until it has ended, and
// Upload is refused while the login window is open. A login whose window was closed before the
// poll saw it complete is taken before the job starts, so the job's identity and cookies are of
// the same account from its first request to its last.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/design_dialog_view.h"
#include "app/design_services.h"
#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

// How long a login may be under way before the dialog says that it has not completed.
inline constexpr unsigned kLoginWaitMilliseconds = 2 * 60 * 1000;

class DesignDialog {
  public:
    // shopFrontNotOpened: called, from any thread, when an opening of the shop front that went on
    // elsewhere has failed; the front end brings it to the window's thread as
    // OnShopFrontNotOpened.
    DesignDialog(DesignDialogView& view, DesignServices& services, unsigned loginPollMilliseconds,
                 std::function<void()> shopFrontNotOpened = {});

    // Fills the template list from the sub-folders of the template roots (folders ending with the
    // path separator, in search order; see templates/template_catalog.h), selects the first and
    // ticks the three areas.
    void OnInit(const std::vector<std::string>& templateRoots);
    void OnLogin();
    void OnLoginTimer();
    // The job to run, the dialog then counting it as running until OnJobEnded; nothing when
    // Upload starts none.
    [[nodiscard]] std::optional<JobRequest> OnUpload();
    void OnPreview();
    void OnProgress(const ProgressMessage& message);
    // The job's thread has finished, however the job ended.
    void OnJobEnded();
    // The shop front, opened elsewhere, could not be opened.
    void OnShopFrontNotOpened();

    bool jobRunning() const { return jobRunning_; }
    const std::vector<std::string>& templatePaths() const { return templatePaths_; }

  private:
    // The selected template's folder; empty when the list is empty or nothing is selected.
    std::string SelectedTemplatePath() const;
    // Asks the login check; when the login is complete, stops the poll and says so. True then.
    bool TakeCompletedLogin();
    void StopLoginPoll();

    DesignDialogView& view_;
    DesignServices& services_;
    unsigned loginPollMilliseconds_;
    std::function<void()> shopFrontNotOpened_;
    unsigned loginWaitPolls_;  // the polls of one login that make up kLoginWaitMilliseconds
    std::vector<std::string> templatePaths_;
    unsigned unsuccessfulPolls_ = 0;  // since Login was last pressed, up to loginWaitPolls_
    bool loggedIn_ = false;
    bool loginPolling_ = false;
    bool categoriesWarningShown_ = false;
    bool jobRunning_ = false;
};

}  // namespace kesto
