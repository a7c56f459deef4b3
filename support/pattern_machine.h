#pragma once
// Runs a compiled pattern over UTF-16 code units: a backtracking machine with an explicit stack,
// tried from each start position in turn (0 to length - 1; an empty input at 0 only).

#include <cstdint>
#include <string_view>
#include <vector>

#include "support/pattern_program.h"

namespace kesto {

inline constexpr std::int32_t kUnsetPosition = -1;

struct GroupSpan {
    std::int32_t start = kUnsetPosition;
    std::int32_t end = kUnsetPosition;
};

struct MatchState {
    // Instruction indices, positions and saved slot values. Entry 0 is never used, so a depth
    // of 0 means empty.
    std::vector<std::int32_t> stack;
    std::int32_t depth = 0;
    std::vector<GroupSpan> groups;
    std::vector<std::int32_t> slots;
    std::int32_t matchStart = kUnsetPosition;
    std::int32_t matchEnd = kUnsetPosition;
    // Instructions the run executed (a lazy gap skipped by a literal search counts as one), to
    // tell linear runs from quadratic ones in tests.
    std::uint64_t steps = 0;
};

struct MatchOptions {
    // Literal searches for start positions and lazy gaps, and memoization of failed states
    // once a match runs long. They never change a result; off runs every instruction.
    bool useShortcuts = true;
    // Memoize from the first instruction instead of only once a match runs long (for tests).
    bool memoizeFromStart = false;
};

// Runs the program over the input. True on a match, with the whole match and every group's
// span in the state (positions are offsets into the input, also in the case-insensitive mode).
// False when nothing matches, when the program carries a compile error or is malformed, when
// the input is longer than 2^31 - 2 code units, or when memory runs out.
bool MatchPattern(const PatternProgram& program, std::u16string_view input, MatchState& state,
                  const MatchOptions& options = {});

}  // namespace kesto
