#pragma once
// One decoration of a shop at a time, across processes. Two jobs on one shop (the program opened
// twice, or the command line beside it) would interleave their changes: two custom-content
// modules, the category tree twice. A job holds an exclusive lock on the file
// <program data folder>/decorating-<user number>.lock while it runs; the system releases it
// when the job's lock goes or its process ends, so no stale lock outlives a crash.

#include <memory>
#include <string>

namespace kesto {

class ExclusiveAppendFile;

class ShopJobLock {
  public:
    enum class State {
        kHeld,         // this job holds the shop
        kBusy,         // another job holds it
        kUnavailable,  // no lock could be made (no data folder, no user number, or something
                       // other than a regular file at its path): the job must not go on
    };

    // Takes the lock of the user's shop in the folder (ending with the path separator), making
    // the folder when missing.
    ShopJobLock(const std::string& folder, const std::string& userNumber);
    ShopJobLock();
    ~ShopJobLock();
    ShopJobLock(ShopJobLock&&) noexcept;
    ShopJobLock& operator=(ShopJobLock&&) noexcept;

    State state() const { return state_; }
    // Why no lock could be made, in words a shop owner can act on; empty otherwise.
    const std::string& problem() const { return problem_; }

  private:
    std::unique_ptr<ExclusiveAppendFile> file_;
    State state_ = State::kUnavailable;
    std::string problem_;
};

}  // namespace kesto
