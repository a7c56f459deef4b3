#pragma once
// The few facts about the running process that the core asks the operating system for.
// Backends beside this file: win32/system_win32.cpp, posix/system_posix.cpp.
//
// Contract: nothing here blocks or fails; an unknown answer is empty text (or false).

#include <cstdio>
#include <string>
#include <vector>

namespace kesto {

struct LocalTime {
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalTime LocalTimeNow();

// The operating system's numeric identifier of the calling thread.
unsigned long CurrentThreadId();

// The folder holding the running executable, ending with the path separator.
std::string ExecutableFolder();

// The program's command-line arguments after the program name, as UTF-8 text.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard input / standard error are terminals (consoles).
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// Keeps standard output for the caller alone: returns a new stream on what standard output was,
// and sends whatever else writes to standard output (diagnostic lines of library code) to the
// null device. Null, with nothing changed, when that fails.
std::FILE* TakeStandardOutput();

// The current user's folder for application data, ending with the path separator: the XDG data
// folder on POSIX systems, the local application data folder on Windows. Empty when unknown.
std::string UserDataFolder();

// What the user can do when UserDataFolder is empty, in the user's language, for the end of a
// message: set HOME or XDG_DATA_HOME on POSIX systems; on Windows, see that the local
// application data folder (%LOCALAPPDATA%) exists.
std::string UserDataFolderHint();

// The system-wide data folders, most preferred first, each ending with the path separator: on
// POSIX systems the absolute entries of $XDG_DATA_DIRS (/usr/local/share and /usr/share when it
// is unset or empty); none on Windows, where data lives beside the executable.
std::vector<std::string> SystemDataFolders();

// The folders that hold installed programs, each ending with the path separator: /usr/ (with
// /usr/local/), /opt/, /bin/ and /sbin/ on POSIX systems; the Program Files folders on Windows.
std::vector<std::string> InstalledProgramFolders();

}  // namespace kesto
