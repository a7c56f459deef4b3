#pragma once
// Memoization of failed machine states for the pattern machine.
//
// A backtracking run can reach the same instruction at the same input position many times
// (from several start positions, or along several ways through alternatives and loops), and
// without a memo that costs time quadratic or worse in the input. A state here is the memo
// point, the position and the spans of the groups that back-references read; it is memoized
// only where whatever follows depends on nothing else:
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
//
// Storage. Without back-references the marks are one bit per (point, position) while that
// table stays within kMaxMemoBits. Beyond that size, and always with back-references, they live
// in a bounded hashed table (pattern_state_table.h) of at most kMaxTableBytes, which forgets its
// oldest states when full. A forgotten state is only explored again: it costs time, never an
// answer.
//
// Time, for N input units and P memo points (the memo starts once a run has taken
// 8 (N + 1) + 4096 steps):
// - Without back-references, each (point, position) state is explored at most once while it
//   stays marked (a look-ahead whose atom matched takes its marks back), so a run takes
//   O(P * N) state visits, each running at most the program's length before the next point:
//   linear in N for a given pattern. The table of bits never forgets; the bounded table keeps
//   that bound as long as the states a run comes back to are still in it.
// - With back-references a state also holds the spans of the G referenced groups, so there
//   are up to P * (N + 1) * (N + 1)^(2G) states: polynomial time, guaranteed only while the
//   states a run comes back to fit in the table. Beyond that, and at points inside a group that
//   refers to itself (never memoized), the only bound is that of plain backtracking:
//   exponential in N in the worst case. The answers are the same either way.

#include <cstdint>
#include <optional>
#include <vector>

#include "matcher/pattern_match_state.h"
#include "matcher/pattern_program.h"
#include "matcher/pattern_state_table.h"

namespace kesto {

// Where a program's runs memoize and what a state holds; worked out once per program and
// never changed after, so runs on several threads may share it.
class PatternMemoPlan {
  public:
    explicit PatternMemoPlan(const std::vector<PatternInstruction>& code);  // throws bad_alloc

    bool IsPoint(std::int32_t pc) const { return pointOfPc_[static_cast<std::size_t>(pc)] >= 0; }
    bool HasPoints() const { return pointCount_ > 0; }

  private:
    friend class PatternMemo;

    std::vector<std::int32_t> pointOfPc_;  // memo point number per instruction, or -1
    std::size_t pointCount_ = 0;
    std::vector<std::size_t> guardsBegin_;  // per point, its guards in guards_; one more at the end
    std::vector<std::int32_t> guards_;      // slots of the loops around a point
    std::vector<bool> atomEnd_;             // per instruction: the load depth ending an atom
    std::vector<std::int32_t> referencedGroups_;
    bool hasLookAheads_ = false;
};

// One run's marks.
class PatternMemo {
  public:
    // Largest table of bits, one per (point, position): 128 MiB. Larger ones give way to a
    // bounded table of kMaxTableBytes.
    static constexpr std::size_t kMaxMemoBits = std::size_t{1} << 30;
    static constexpr std::size_t kMaxTableBytes = std::size_t{64} << 20;

    // Throws std::bad_alloc.
    PatternMemo(const PatternMemoPlan& plan, std::size_t inputLength);

    // True when this state at a memo point was visited before; marks it otherwise.
    bool SeenBefore(std::int32_t pc, std::int32_t position, const std::vector<std::int32_t>& slots,
                    const std::vector<GroupSpan>& groups);

    // A negative look-ahead with this depth slot begins.
    void OnStoreDepth(std::int32_t slot);
    // A load-depth instruction runs: at the end of a look-ahead's atom (the atom matched), the
    // marks made since that look-ahead began are taken back.
    void OnLoadDepth(std::int32_t pc, std::int32_t slot);

  private:
    bool TestAndMark();
    void Unmark(const std::int32_t* state);
    std::size_t Bit(const std::int32_t* state) const;

    const PatternMemoPlan& plan_;
    std::size_t stride_;               // positions per point: input length + 1
    std::vector<std::int32_t> state_;  // the state being looked up: point, position, spans

    std::vector<std::uint64_t> bits_;         // when the table of bits is used
    std::optional<PatternStateTable> table_;  // otherwise

    // Marks in order, while the program has look-aheads: the states, one after the other.
    std::vector<std::int32_t> marks_;
    std::vector<std::size_t> marksAtLookAhead_;  // by depth slot: the marks' size then
};

}  // namespace kesto
