#pragma once
// The command line's view of a job: each progress line on standard output as it comes (UTF-8,
// one per line, the shop front address on a line of its own after the completion line), the
// reason of a failure on standard error, and on a terminal a progress bar on standard error.

#include <cstdio>
#include <string>

#include "job/progress.h"

namespace kesto {

class TerminalProgress final : public ProgressSink {
  public:
    // areas: the number of ticked areas, for the bar; bar: where to draw it (null: nowhere);
    // reasons: where the reasons of failures go.
    TerminalProgress(std::FILE* lines, std::FILE* bar, int areas, std::FILE* reasons = stderr);

    void Post(ProgressMessage message) override;

    bool finished() const { return finished_; }
    // Whether the template check refused the template (nothing was sent).
    bool rejected() const { return rejected_; }

  private:
    void DrawBar(const std::string& line);

    std::FILE* lines_;
    std::FILE* bar_;  // null: no bar
    std::FILE* reasons_;
    int areas_;
    int areasDone_ = 0;
    bool finished_ = false;
    bool rejected_ = false;
};

}  // namespace kesto
