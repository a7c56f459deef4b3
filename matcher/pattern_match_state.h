#pragma once
// What a run of the pattern machine leaves behind: the whole match, the groups' spans, and the
// machine's stack and slots (kept so that a caller's next run reuses their memory).

#include <cstdint>
#include <vector>

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
    // Instructions the run executed or a shortcut stood for (a lazy gap skipped by a literal
    // search counts as one), to tell linear runs from quadratic ones in tests.
    std::uint64_t steps = 0;
};

}  // namespace kesto
