#pragma once
// kesto-decorate --login: the login is made in kesto-design's login window (kesto-design
// --login), which leaves it in the default cookie file; kesto-decorate finds kesto-design beside
// itself or on PATH, waits for it and says how it went. Where no window can be shown it does not
// try, and says how to bring a login over from a machine with a display instead.

#include <functional>
#include <string>
#include <vector>

#include "platform/other_programs.h"

namespace kesto {

// What the login asks of the system (platform/other_programs.h); tests give their own.
struct LoginLauncher {
    std::function<bool()> windowsCanBeShown;
    // The full path of the named suite program, or empty text when it is not found.
    std::function<std::string(const std::string& name)> findProgram;
    std::function<ProgramEnd(const std::string& path, const std::vector<std::string>& arguments)>
        runProgram;
};

// The launcher over the platform's services.
LoginLauncher SystemLoginLauncher();

struct LoginReport {
    int exitCode;         // kDecorated when logged in, kUsageError otherwise (cli/exit_codes.h)
    std::string message;  // for standard output when logged in, for standard error otherwise
};

// Runs the login; cookieFile is the default cookie file, where kesto-design leaves the login
// (empty when the user's data folder is unknown).
LoginReport LogInWithDesktopProgram(const LoginLauncher& launcher, const std::string& cookieFile);

}  // namespace kesto
