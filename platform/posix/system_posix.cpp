// Process facts on POSIX systems.

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>

#include "support/system.h"

namespace kesto {

LocalTime LocalTimeNow() {
    const time_t now = time(nullptr);
    struct tm parts {};
    localtime_r(&now, &parts);
    return {parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

unsigned long CurrentThreadId() {
    return static_cast<unsigned long>(syscall(SYS_gettid));
}

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return "./";
    }
    return executable.parent_path().string() + "/";
}

}  // namespace kesto
