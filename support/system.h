#pragma once
// The few facts about the running process that the core asks the operating system for.

#include <string>

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

}  // namespace kesto
