// Starting the suite's other programs on POSIX systems: posix_spawn, no shell.

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/other_programs.h"
#include "platform/system.h"

extern char** environ;

namespace kesto {

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

std::string FindSuiteProgram(const std::string& name) {
    if (const std::string beside = ExecutableFolder() + name; IsExecutableFile(beside)) {
        return beside;
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        // An empty or relative entry would make the answer depend on the working folder.
        if (folder.empty() || folder[0] != '/') {
            continue;
        }
        if (folder.back() != '/') {
            folder += '/';
        }
        if (IsExecutableFile(folder + name)) {
            return folder + name;
        }
    }
    return {};
}

ProgramEnd RunProgram(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(path);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    ProgramEnd end;
    pid_t child = 0;
    if (const int error = posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ);
        error != 0) {
        end.error = std::strerror(error);
        return end;
    }
    end.started = true;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            end.error = std::strerror(errno);
            return end;
        }
    }
    if (WIFEXITED(status)) {
        end.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end.exitCode = 128 + WTERMSIG(status);
    }
    return end;
}

bool WindowsCanBeShown() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace kesto
