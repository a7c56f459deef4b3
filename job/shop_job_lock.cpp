#include "job/shop_job_lock.h"

#include <filesystem>
#include <system_error>

#include "platform/exclusive_file.h"
#include "platform/system.h"
#include "platform/translation.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/trace_log.h"

namespace kesto {

ShopJobLock::ShopJobLock(const std::string& folder, const std::string& userNumber) {
    if (folder.empty() || userNumber.empty()) {
        problem_ =
            folder.empty()
                ? FillIn(Translate("the program has no data folder to keep its shop lock in: {}"),
                         {UserDataFolderHint()})
                : Translate("the logged-in user's number is not known: log in again");
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
    // A regular file is there but cannot be had: another job holds it. Anything else (nothing,
    // as the folder takes no file, or a link, a FIFO, a folder) leaves the shop without a lock,
    // and a job without one could interleave its changes with another's.
    const auto status = std::filesystem::symlink_status(PathFromUtf8(path), error);
    state_ = std::filesystem::is_regular_file(status) ? State::kBusy : State::kUnavailable;
    if (state_ == State::kUnavailable) {
        ProcessTraceLog().Write("No shop lock could be made in %s", folder.c_str());
        problem_ =
            std::filesystem::exists(status)
                ? FillIn(Translate("the shop's lock file {} is not a regular file: remove it"),
                         {path})
                : FillIn(Translate("the shop's lock file {} cannot be made in that folder"),
                         {path});
    }
}

ShopJobLock::ShopJobLock() = default;
ShopJobLock::~ShopJobLock() = default;
ShopJobLock::ShopJobLock(ShopJobLock&&) noexcept = default;
ShopJobLock& ShopJobLock::operator=(ShopJobLock&&) noexcept = default;

}  // namespace kesto
