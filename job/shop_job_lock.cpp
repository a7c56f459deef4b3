#include "job/shop_job_lock.h"

#include <filesystem>
#include <system_error>

#include "platform/exclusive_file.h"
#include "support/file_path.h"
#include "support/trace_log.h"

namespace kesto {

ShopJobLock::ShopJobLock(const std::string& folder, const std::string& userNumber) {
    if (folder.empty() || userNumber.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder), error);
    const std::string path = folder + "decorating-" + userNumber + ".lock";
    file_ = ExclusiveAppendFile::Open(path);
    if (file_) {
        state_ = State::kHeld;
        return;
    }
    // The file is there but cannot be had: another job holds it. Not there at all: the folder
    // takes no file, and the job goes on without a lock rather than not at all.
    state_ = std::filesystem::is_regular_file(PathFromUtf8(path), error) ? State::kBusy
                                                                         : State::kUnavailable;
    if (state_ == State::kUnavailable) {
        ProcessTraceLog().Write("No shop lock could be made in %s", folder.c_str());
    }
}

ShopJobLock::ShopJobLock() = default;
ShopJobLock::~ShopJobLock() = default;
ShopJobLock::ShopJobLock(ShopJobLock&&) noexcept = default;
ShopJobLock& ShopJobLock::operator=(ShopJobLock&&) noexcept = default;

}  // namespace kesto
