#pragma once
// Runs a shell command line as a user types it and collects what it writes to standard output,
// for tests of the programs run as a whole.

#include <stdio.h>
#include <sys/wait.h>

#include <string>

namespace kesto::testing {

struct CommandRun {
    int exitCode = -1;   // -1 when the command did not exit by itself (or could not start)
    std::string output;  // standard output, with whatever the command line sends there
};

inline CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace kesto::testing
