#pragma once
// What the pattern machine works out about a compiled program before running it: whether the
// program is well formed, the literals its shortcuts search for, and where its runs memoize.
// Built once per program and never changed after, so runs on several threads may share it.

#include <cstdint>
#include <optional>
#include <vector>

#include "matcher/pattern_literal_finder.h"
#include "matcher/pattern_memo.h"
#include "matcher/pattern_program.h"

namespace kesto {

class PatternAnalysis {
  public:
    // What is special about an instruction, as bits: the machine runs its shortcut there
    // before the instruction itself.
    enum Hook : std::uint8_t {
        kNoHook = 0,
        kGapHook = 1,   // the head of a lazy gap of any characters before a literal
        kMemoHook = 2,  // a memo point
        kRunHook = 4,   // the head of a greedy repetition of one character test
    };

    // A lazy gap of any characters followed by a literal:
    // pc: push position; call P; pop position; any; jump pc; P: the literal.
    struct Gap {
        std::int32_t pc;
        PatternLiteralFinder literal;
    };

    // A greedy repetition of one character test, like "[0-9]*" or the repeated copy in "\d+":
    // pc: push slot s; store position s; push position; call X; pop position; pop slot s;
    // jump E; X: (call next; return;) * wrappers; test; fail if no progress on s; jump pc; E.
    // The wrappers are groups around the test.
    struct UnitRun {
        std::int32_t pc;
        std::int32_t slot;
        std::int32_t test;  // the test's index: a character other than 0, any, or a class
        std::int32_t wrappers;
        std::int32_t exit;  // E
    };

    // Throws std::bad_alloc.
    explicit PatternAnalysis(const PatternProgram& program);

    // Every operand in range, classes followed by their pairs, no way to run past the end.
    bool WellFormed() const { return wellFormed_; }
    // The literal every match begins with, when the pattern starts with one (unanchored).
    const std::optional<PatternLiteralFinder>& StartLiteral() const { return startLiteral_; }
    // The accelerated gaps, at most kMaxGaps; others run instruction by instruction.
    const std::vector<Gap>& Gaps() const { return gaps_; }
    // The repetition headed by pc; it must have the run hook.
    const UnitRun& RunAt(std::int32_t pc) const;
    const PatternMemoPlan& MemoPlan() const { return *memoPlan_; }
    // Per instruction, its Hook bits.
    const std::vector<std::uint8_t>& Hooks() const { return hooks_; }

    static constexpr std::size_t kMaxGaps = 4;

  private:
    bool wellFormed_ = false;
    std::optional<PatternLiteralFinder> startLiteral_;
    std::vector<Gap> gaps_;
    std::vector<UnitRun> runs_;  // by their pc
    std::optional<PatternMemoPlan> memoPlan_;
    std::vector<std::uint8_t> hooks_;  // per instruction
};

}  // namespace kesto
