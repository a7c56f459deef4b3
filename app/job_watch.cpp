#include "app/job_watch.h"

#include <utility>

namespace kesto {

void JobWatch::Started() {
    const std::lock_guard guard(lock_);
    running_ = true;
}

void JobWatch::Ended() {
    {
        const std::lock_guard guard(lock_);
        running_ = false;
    }
    ended_.notify_all();
}

void JobWatch::WaitUntilEnded() {
    std::unique_lock guard(lock_);
    ended_.wait(guard, [this] { return !running_; });
}

WatchedJobMessages::WatchedJobMessages(std::shared_ptr<JobMessageSink> frontEnd,
                                       std::shared_ptr<JobWatch> watch)
    : frontEnd_(std::move(frontEnd)), watch_(std::move(watch)) {}

void WatchedJobMessages::Post(ProgressMessage message) {
    frontEnd_->Post(std::move(message));
}

void WatchedJobMessages::PostJobEnded() {
    frontEnd_->PostJobEnded();
    watch_->Ended();
}

}  // namespace kesto
