// Process facts on POSIX systems.

#include <fcntl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <utility>

#include "platform/system.h"
#include "platform/translation.h"

namespace kesto {

namespace {

std::string WithTrailingSlash(std::string folder) {
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

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

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool StandardInputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

std::FILE* TakeStandardOutput() {
    std::fflush(stdout);
    const int kept = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (kept < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        if (kept >= 0) {
            close(kept);
        }
        if (null >= 0) {
            close(null);
        }
        return nullptr;
    }
    close(null);
    return fdopen(kept, "w");
}

std::string UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return WithTrailingSlash(data);
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/.local/share/";
}

std::string UserDataFolderHint() {
    return Translate("set HOME or XDG_DATA_HOME");
}

std::vector<std::string> SystemDataFolders() {
    const char* list = std::getenv("XDG_DATA_DIRS");
    if (list == nullptr || list[0] == '\0') {
        list = "/usr/local/share:/usr/share";
    }
    std::vector<std::string> folders;
    std::istringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, ':')) {
        // Relative entries are invalid in the variable and would depend on the working folder.
        if (!entry.empty() && entry[0] == '/') {
            folders.push_back(WithTrailingSlash(std::move(entry)));
        }
    }
    return folders;
}

std::vector<std::string> InstalledProgramFolders() {
    return {"/usr/", "/opt/", "/bin/", "/sbin/"};
}

}  // namespace kesto
