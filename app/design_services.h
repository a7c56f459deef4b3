#pragma once
// What the dialog's handlers use beyond the window: the login browser and its check, the
// password browser, the user's default programs and the decoration job. The program's own
// (DesktopServices) work over its process-wide objects; tests give fakes.

#include <functional>
#include <memory>
#include <string>

#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

class DesignServices {
  public:
    virtual ~DesignServices() = default;

    // Shows the login browser on the portal page.
    virtual void OpenLoginBrowser() = 0;
    // Whether the login is complete (the login check, which then also closes the login browser).
    virtual bool CheckLogin() = 0;
    // Whether the login browser's window is open: its pages may change the login's cookies.
    virtual bool LoginBrowserOpen() const = 0;
    // Shows the password browser on the given address.
    virtual void OpenPasswordBrowser(const std::string& address) = 0;
    // Opens a file or an address in the user's default program; true when one was started.
    virtual bool OpenWithShell(const std::string& target) = 0;
    // Opens the decorated shop's front page once a job has completed, without holding up the
    // dialog while the browser starts; false when no program could be started for it. An opening
    // that goes on elsewhere answers true and, should it then fail, calls notOpened (on any
    // thread).
    virtual bool OpenShopFront(const std::string& address, std::function<void()> notOpened) = 0;
    // Runs a decoration job to its end on the calling thread (the program's job thread), its
    // messages going to progress, which the job's steps may keep.
    virtual void RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) = 0;
    // How many picture uploads of an area a job may have under way at once, from the user's
    // setting (job/parallel_uploads.h); 1 without one. A setting that cannot be read gives 1,
    // with problem saying what is wrong with it and where.
    virtual int ParallelUploads(std::string& /*problem*/) { return 1; }
};

}  // namespace kesto
