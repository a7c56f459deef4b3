#pragma once
// What the main dialog does, whichever toolkit draws it: the template list, the login poll, the
// categories warning, Upload, Preview and the progress lines. The Win32 dialog and the GTK window
// forward their events here and implement DesignDialogView to show the results.

#include <string>
#include <vector>

#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

enum class Area { ShopSign, MainPage, Categories };

// The dialog's controls and the platform services its handlers use.
class DesignDialogView {
  public:
    virtual ~DesignDialogView() = default;

    virtual void AddTemplate(const std::string& name) = 0;
    virtual void SelectTemplate(int index) = 0;
    virtual int SelectedTemplate() const = 0;  // -1 when none is selected
    virtual void SetAreaChecked(Area area, bool checked) = 0;
    virtual bool IsAreaChecked(Area area) const = 0;
    virtual void EnableUpload(bool enabled) = 0;
    virtual void AddProgressLine(const std::string& line) = 0;
    // A Yes/No question with a warning icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

    // Opens a file or an address in the user's default program.
    virtual void OpenWithShell(const std::string& target) = 0;
    // Opens the decorated shop's front page once a job has completed; front ends that must not
    // wait for the browser to start hand it to a thread of its own.
    virtual void OpenShopFront(const std::string& address) { OpenWithShell(address); }
    // Shows the login browser on the portal page.
    virtual void OpenLoginBrowser() = 0;
    // Shows the password browser on the given address.
    virtual void OpenPasswordBrowser(const std::string& address) = 0;
    // (Re)starts the 2,000 ms login timer, or stops it.
    virtual void StartLoginTimer() = 0;
    virtual void StopLoginTimer() = 0;
    // Whether the login is complete (the login check, which then also closes the login browser).
    virtual bool CheckLogin() = 0;
    // Runs a decoration job on a thread of its own; its messages come back through
    // DesignDialog::OnProgress on the dialog's thread, followed by OnJobEnded.
    virtual void StartJob(const JobRequest& request) = 0;
};

class DesignDialog {
  public:
    explicit DesignDialog(DesignDialogView& view) : view_(view) {}

    // Fills the template list from the sub-folders of templateRoot (a folder ending with the
    // path separator), selects the first and ticks the three areas.
    void OnInit(const std::string& templateRoot);
    void OnLogin();
    void OnLoginTimer();
    void OnUpload();
    void OnPreview();
    void OnProgress(const ProgressMessage& message);
    // The job's thread has finished, however the job ended.
    void OnJobEnded();

    bool jobRunning() const { return jobRunning_; }
    const std::vector<std::string>& templatePaths() const { return templatePaths_; }

  private:
    // The selected template's folder; empty when the list is empty or nothing is selected.
    std::string SelectedTemplatePath() const;

    DesignDialogView& view_;
    std::vector<std::string> templatePaths_;
    unsigned unsuccessfulPolls_ = 0;
    bool loggedIn_ = false;
    bool categoriesWarningShown_ = false;
    bool jobRunning_ = false;
};

}  // namespace kesto
