#pragma once
// A decoration job's way back to the dialog's thread: the front end's progress sink, which also
// reports the job's end after the job's last message, so that the program knows when the next
// job may start and when the window may close.

#include <memory>

#include "job/job_thread.h"
#include "job/progress.h"

namespace kesto {

class JobMessageSink : public ProgressSink {
  public:
    // Any thread: the job has ended, however it ended; delivered after its last message.
    virtual void PostJobEnded() = 0;
};

// Runs the job on a thread of its own over the steps makeSteps makes; its messages, then its
// end, go to messages.
void StartJobOnOwnThread(const JobRequest& request, const std::shared_ptr<JobMessageSink>& messages,
                         const DecorationStepsFactory& makeSteps);

}  // namespace kesto
