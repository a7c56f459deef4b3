#pragma once
// Runs a compiled pattern over UTF-16 code units: a backtracking machine with an explicit stack,
// tried from each start position in turn (0 to length - 1; an empty input at 0 only).

#include <string_view>
#include <utility>

#include "matcher/pattern_analysis.h"
#include "matcher/pattern_match_state.h"
#include "matcher/pattern_program.h"

namespace kesto {

struct MatchOptions {
    // Literal searches for start positions and lazy gaps, and memoization of failed states
    // once a match runs long. They never change a result; off runs every instruction.
    bool useShortcuts = true;
    // Memoize from the first instruction instead of only once a match runs long (for tests).
    bool memoizeFromStart = false;
};

// A compiled program together with its analysis. Never changes once built, so threads may
// share one and run it at the same time.
class PreparedPattern {
  public:
    explicit PreparedPattern(PatternProgram program)  // throws std::bad_alloc
        : program_(std::move(program)), analysis_(program_) {}

    const PatternProgram& Program() const { return program_; }
    const PatternAnalysis& Analysis() const { return analysis_; }

  private:
    PatternProgram program_;
    PatternAnalysis analysis_;
};

// Runs the program over the input. True on a match, with the whole match and every group's
// span in the state (positions are offsets into the input, also in the case-insensitive mode).
// False when nothing matches, when the program carries a compile error or is malformed, when
// the input is longer than 2^31 - 2 code units, or when memory runs out.
bool MatchPattern(const PreparedPattern& pattern, std::u16string_view input, MatchState& state,
                  const MatchOptions& options = {});

// The same for a program prepared anew for this run.
bool MatchPattern(const PatternProgram& program, std::u16string_view input, MatchState& state,
                  const MatchOptions& options = {});

}  // namespace kesto
