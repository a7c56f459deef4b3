#pragma once
// The diagnostic log the network code writes a line to whenever something goes wrong on the
// wire. Off unless a file "trace.txt" stood in the current folder when the log was created; the
// log file "Trace<month>-<day>.log" lies beside the executable, or in the user's data folder for
// an installed program. Lines never carry cookies, session keys or request tokens: callers write
// only their fixed messages and numeric codes.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/exclusive_file.h"
#include "platform/system.h"

namespace kesto {

class TraceLog {
  public:
    // Where the log looks for its switch, its folder, the time and the thread; the process's log
    // takes them from the operating system, tests supply their own.
    struct Environment {
        bool enabled = false;
        std::string folder;  // ends with the path separator; empty for none
        // Where the file goes when the folder is empty or cannot take it: made when missing;
        // empty for nowhere else.
        std::string fallbackFolder;
        std::function<LocalTime()> clock = LocalTimeNow;
        std::function<unsigned long()> threadId = CurrentThreadId;
    };

    // The switch decides from "trace.txt" in the current folder, now; the folders come from
    // TraceLogFolders for the executable's folder.
    TraceLog();
    explicit TraceLog(Environment environment);
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    // Formats a printf-style message into one line. Returns 1 when written; 0 when tracing is
    // off, the message exceeds 511 characters or the write failed; -1 when the log file cannot
    // be opened (the next call tries again).
    int Write(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Whether "trace.txt" can be opened for reading in the current folder.
    static bool SwitchFilePresent();

  private:
    // The day's file in the folder, else in the fallback folder; null when neither opens.
    std::unique_ptr<ExclusiveAppendFile> OpenFile() const;

    std::mutex lock_;
    std::unique_ptr<ExclusiveAppendFile> file_;
    Environment environment_;
};

// The process-wide log, created during static initialisation.
TraceLog& ProcessTraceLog();

// The folder and fallback folder of the log of a program in programFolder. A program under one of
// installedFolders (a package's or an installer's files, writable by root or an administrator
// and removed without the log) gets no folder, so its log goes only into dataFolder; any other
// program (a build tree, a user's own folder) writes beside itself, else into dataFolder. Folders
// are compared whole, ignoring ASCII case and treating '/' and '\\' alike, as a Windows path needs.
struct TraceLogPlace {
    std::string folder;
    std::string fallbackFolder;
};
TraceLogPlace TraceLogFolders(const std::string& programFolder,
                              const std::vector<std::string>& installedFolders,
                              const std::string& dataFolder);

// The text of one log line: "month.day hh:mm:ss--(tid=N)message" cut to 511 UTF-16 code units,
// then CR LF as far as a 512-unit buffer with its terminator allows.
std::string FormatTraceLine(const LocalTime& time, unsigned long threadId,
                            const std::string& message);

}  // namespace kesto
