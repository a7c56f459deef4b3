#pragma once
// What the process's trace log gains while a watch lives, for tests that check the trace lines
// a failing step writes. The build puts the switch file "trace.txt" in the tests' working
// folder; without it nothing is written.

#include <filesystem>
#include <string>

#include "platform/system.h"
#include "support/file_path.h"
#include "support/trace_log.h"
#include "tests/common/temp_folder.h"

namespace kesto::testing {

class TraceWatch {
  public:
    TraceWatch() {
        const LocalTime now = LocalTimeNow();
        file_ = PathFromUtf8(ExecutableFolder() + "Trace" + std::to_string(now.month) + "-" +
                             std::to_string(now.day) + ".log");
        start_ = ReadFile(file_).size();
    }
    std::string Added() const { return ReadFile(file_).substr(start_); }

  private:
    std::filesystem::path file_;
    std::size_t start_ = 0;
};

}  // namespace kesto::testing
