#pragma once
// The command line's view of a job: each progress line on standard output as it comes (UTF-8,
// one per line, the shop front address on a line of its own after the completion line), the
// reason of a failure on standard error, and on a terminal a progress bar on standard error
// that counts the areas and the pictures within the area at work. For scripts, each line can go
// out as a JSON object instead (reasons too, on the same stream).

#include <cstdio>
#include <string>

#include "cli/progress_json.h"
#include "job/progress.h"

namespace kesto {

enum class LineFormat { kText, kJson };

class TerminalProgress final : public ProgressSink {
  public:
    // areas: the number of ticked areas, for the bar; bar: where to draw it (null: nowhere);
    // reasons: where the reasons of failures go in text format.
    TerminalProgress(std::FILE* lines, std::FILE* bar, int areas, std::FILE* reasons = stderr,
                     LineFormat format = LineFormat::kText);

    void Post(ProgressMessage message) override;
    // Takes the bar off the terminal once the job has ended, so that nothing is left under the
    // last line or the shop's address.
    void EndBar();

    bool finished() const { return finished_; }
    // Whether the template check refused the template (nothing was sent).
    bool rejected() const { return rejected_; }

  private:
    void Count(const ProgressMessage& message);
    void WriteLine(const ProgressMessage& message, const std::string& line);
    void DrawBar();

    std::FILE* lines_;
    std::FILE* bar_;  // null: no bar
    std::FILE* reasons_;
    LineFormat format_;
    int areas_;
    int areasDone_ = 0;
    // The area at work's own count: its pictures, or the KiB of a shop sign sent in chunks.
    int partsDone_ = 0;
    int partCount_ = 0;  // 0: the area at work has not said
    bool countsKiB_ = false;
    std::string lastLine_;
    bool finished_ = false;
    bool rejected_ = false;
};

}  // namespace kesto
