#pragma once
// Memoization of failed machine states for the pattern machine.
//
// A backtracking run can reach the same instruction at the same input position many times
// (from several start positions, or along several ways through alternatives and loops), and
// without a memo that costs time quadratic or worse in the input. A state here is the
// instruction, the position and the spans of the groups that back-references read; it is
// memoized only where whatever follows depends on nothing else:
// - every repetition loop around it has progressed in its current repetition (its no-progress
//   check then passes whatever comes next);
// - inside a negative look-ahead's atom, a visit counts only once the atom has failed from
//   there: when the atom matches, the marks made since the look-ahead began are taken back;
// - it is not inside a group that refers to itself ("{a\0}"). A failed path there may leave
//   the group's end set (a group's end is undone only when the run backtracks out of the whole
//   group), and a back-reference inside the group reads it, so skipping that path would change
//   what the back-reference sees.
// Memo points are the loop heads and the joins after alternatives. The first visit to a state
// marks it; a later visit means the earlier one already failed, because a success ends the run.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "support/pattern_machine.h"
#include "support/pattern_program.h"

namespace kesto {

class PatternMemo {
  public:
    // The memo for the program over an input of that length, or nothing when the program has
    // no memo points or the table would be too large. Throws std::bad_alloc.
    static std::unique_ptr<PatternMemo> Plan(const std::vector<PatternInstruction>& code,
                                             std::size_t inputLength);

    bool IsPoint(std::int32_t pc) const { return pointOfPc_[static_cast<std::size_t>(pc)] >= 0; }

    // True when this state at a memo point was visited before; marks it otherwise.
    bool SeenBefore(std::int32_t pc, std::int32_t position, const std::vector<std::int32_t>& slots,
                    const std::vector<GroupSpan>& groups);

    // A negative look-ahead with this depth slot begins.
    void OnStoreDepth(std::int32_t slot);
    // A load-depth instruction runs: at the end of a look-ahead's atom (the atom matched), the
    // marks made since that look-ahead began are taken back.
    void OnLoadDepth(std::int32_t pc, std::int32_t slot);

  private:
    PatternMemo() = default;
    void Unmark(std::size_t entry);

    std::vector<std::int32_t> pointOfPc_;   // memo point number per instruction, or -1
    std::vector<std::size_t> guardsBegin_;  // per point, its guards in guards_; one more at the end
    std::vector<std::int32_t> guards_;      // slots of the loops around a point
    std::vector<bool> atomEnd_;             // per instruction: the load depth ending an atom
    std::size_t stride_ = 0;                // positions per point: input length + 1

    // Without back-references: one bit per (point, position).
    std::vector<std::uint64_t> seen_;
    // With back-references: the states seen, as packed keys.
    std::vector<std::int32_t> referencedGroups_;
    std::unordered_set<std::string> seenStates_;
    std::vector<std::string> stateKeys_;  // by entry number, for taking marks back

    // Marks in order, while the program has look-aheads: entry numbers (bits or key numbers).
    bool logMarks_ = false;
    std::vector<std::size_t> marks_;
    std::vector<std::size_t> marksAtLookAhead_;  // by depth slot
};

}  // namespace kesto
