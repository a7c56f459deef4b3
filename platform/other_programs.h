#pragma once
// Starting one of the suite's other programs from another: kesto-decorate --login runs
// kesto-design --login. Backends beside this file: win32/other_programs_win32.cpp,
// posix/other_programs_posix.cpp.
//
// Contract: FindSuiteProgram and WindowsCanBeShown do not block; RunProgram blocks until the
// program it started has ended. Nothing goes through a shell: the arguments reach the program
// as given.

#include <string>
#include <vector>

namespace kesto {

// The program named name (without the system's executable suffix, which is added: ".exe" on
// Windows), looked for first in the folder of the running executable (where the package, the
// Windows folder and the build tree put the suite's programs side by side), then in each folder
// of PATH in order. Its full path, or empty text when neither holds it.
std::string FindSuiteProgram(const std::string& name);

struct ProgramEnd {
    bool started = false;  // false: the program could not be started (error says why)
    int exitCode = -1;     // its exit status; 128 + the signal's number when a signal ended it
    std::string error;     // the system's words for why it could not be started
};

// Runs the program at path with the arguments, on the caller's standard streams and
// environment, and waits for it to end.
ProgramEnd RunProgram(const std::string& path, const std::vector<std::string>& arguments);

// Whether a program started from here can show windows: on POSIX systems, whether DISPLAY or
// WAYLAND_DISPLAY names a display; always true on Windows.
bool WindowsCanBeShown();

}  // namespace kesto
