#pragma once
// DesignProgram: the desktop program, whichever toolkit draws it. It builds the process-wide
// objects (DesktopServices), knows the template folders and the login poll period, owns the
// dialog's logic and decides what closing the window does. Each front end creates its window,
// draws what the program asks for, and forwards the user's actions and the jobs' messages here.
//
// Closing while a job runs: a job changes a live shop, and one stopped half-way would leave it
// half-decorated, so Exit or the close command never stops it. The program notes the request,
// says so in a progress line and keeps the window until the job has ended; then it ends the
// dialog with the code of the first request. The job runs on a thread the program owns: were the
// program itself to go while that thread still works (no front end lets that happen), it would
// first wait for the thread to end, so no object the job uses is ever destroyed under it.

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/design_dialog.h"
#include "app/design_dialog_view.h"
#include "app/design_services.h"
#include "app/desktop_services.h"
#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

// A decoration job's way back to the window's thread: the front end's progress sink, which also
// reports the job's end after the job's last message, so that the program knows when the next
// job may start and when the window may close.
class JobMessageSink : public ProgressSink {
  public:
    // Any thread: the job has ended, however it ended; delivered after its last message.
    virtual void PostJobEnded() = 0;
    // Any thread: the shop front, opened on a thread of the platform's, could not be opened; the
    // front end hands it to OnShopFrontNotOpened on the window's thread. Only a platform that
    // opens the shop front on a thread of its own posts it.
    virtual void PostShopFrontNotOpened() {}
};

inline constexpr unsigned kLoginPollMilliseconds = 2000;

// The codes the dialog ends with.
inline constexpr int kEndedByExit = 1;
inline constexpr int kEndedByClose = 0;

struct DesignProgramSettings {
    std::vector<std::string> templateRoots;  // in search order, each ending with the separator
    unsigned loginPollMilliseconds = kLoginPollMilliseconds;
};

class DesignProgram {
  public:
    // The desktop program over the platform's parts, with the templates where the programs look
    // for them (templates/template_roots.h).
    explicit DesignProgram(DesktopPlatform platform);
    // The program over other services (tests).
    DesignProgram(std::unique_ptr<DesignServices> services, DesignProgramSettings settings);
    // Waits for a running job's thread to end.
    ~DesignProgram();
    DesignProgram(const DesignProgram&) = delete;
    DesignProgram& operator=(const DesignProgram&) = delete;

    // The window has its controls: the dialog's initial set-up. The front end hands the jobs'
    // messages arriving through jobMessages to OnProgress and OnJobEnded on the window's thread.
    void OnInitDialog(DesignDialogView& view, std::shared_ptr<JobMessageSink> jobMessages);
    // The window has gone: nothing is shown from now on.
    void OnDialogDestroyed();

    void OnLogin();
    void OnLoginTimer();
    void OnUpload();
    void OnPreview();
    // The maker link: opens target in the default program; true when one was started.
    bool OnLink(const std::string& target);
    void OnProgress(const ProgressMessage& message);
    void OnJobEnded();
    void OnShopFrontNotOpened();
    // The Exit button and the window's close command.
    void OnExit();
    void OnClose();

    bool jobRunning() const { return dialog_ && dialog_->jobRunning(); }
    // Whether the dialog ends once the running job has ended.
    bool endPending() const { return pendingEnd_.has_value(); }
    // The listed templates' folders; none before the dialog's set-up.
    std::vector<std::string> templatePaths() const;

  private:
    void RequestEnd(int code);
    void EndDialog(int code);
    // The job thread's work: the job, then its end, reported however the job ended.
    void RunJob(const JobRequest& request, const std::shared_ptr<JobMessageSink>& messages);

    std::unique_ptr<DesignServices> services_;
    DesignProgramSettings settings_;
    DesignDialogView* view_ = nullptr;             // the window, between its set-up and its end
    std::shared_ptr<JobMessageSink> jobMessages_;  // the window's, shared with the job's thread
    std::optional<DesignDialog> dialog_;
    std::optional<int> pendingEnd_;  // the code to end with once the running job has ended
    bool ending_ = false;            // the window has been asked to go
    // The last job's thread; last, so that it has ended before anything it uses goes.
    std::jthread job_;
};

}  // namespace kesto
