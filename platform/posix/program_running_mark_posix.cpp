// The running mark on POSIX systems: none. The package manager replaces a running program's
// files by renaming new ones over them, which leaves the running program its old ones.

#include "platform/program_running_mark.h"

namespace kesto {

std::unique_ptr<ProgramRunningMark> ProgramRunningMark::Leave() {
    return nullptr;
}

}  // namespace kesto
