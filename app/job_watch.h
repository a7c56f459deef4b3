#pragma once
// Whether a decoration job's thread is still at work, as the thread itself reports it rather
// than as the dialog's thread later learns it: the program waits on it before it lets go of the
// objects a job uses.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "app/job_messages.h"

namespace kesto {

class JobWatch {
  public:
    // Before a job's thread starts.
    void Started();
    // Any thread, any number of times: the job has ended.
    void Ended();
    // Returns once no job is at work.
    void WaitUntilEnded();

  private:
    std::mutex lock_;
    std::condition_variable ended_;
    bool running_ = false;
};

// The jobs' messages on their way to the front end's sink: everything passes on, and a job's
// end is noted in the watch once it has been posted.
class WatchedJobMessages final : public JobMessageSink {
  public:
    WatchedJobMessages(std::shared_ptr<JobMessageSink> frontEnd, std::shared_ptr<JobWatch> watch);

    void Post(ProgressMessage message) override;
    void PostJobEnded() override;

  private:
    std::shared_ptr<JobMessageSink> frontEnd_;
    // Shared, so that the watch outlives a program that stops waiting as soon as it is told.
    std::shared_ptr<JobWatch> watch_;
};

}  // namespace kesto
