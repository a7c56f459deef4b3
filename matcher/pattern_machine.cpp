#include "matcher/pattern_machine.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "matcher/pattern_literal_finder.h"
#include "matcher/pattern_memo.h"

namespace kesto {
namespace {

using Op = PatternOp;
using Hook = PatternAnalysis::Hook;

constexpr std::size_t kInitialStackEntries = 64;  // grows by doubling
constexpr std::size_t kMaxInputLength = std::numeric_limits<std::int32_t>::max() - 1;

// What an instruction, or the shortcut before it, leaves the machine to do.
enum class Step {
    kRun,        // shortcuts only: run the instruction itself
    kNext,       // continue at the new pc
    kFail,       // backtrack
    kMatch,      // the whole pattern matched
    kNextStart,  // try the next start position
    kNoMatch,    // stop: nothing matches (also on a malformed stack or no memory)
};

std::optional<std::int32_t> Found(std::size_t at) {
    if (at == PatternLiteralFinder::kNone) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(at);
}

class Machine {
  public:
    Machine(const PreparedPattern& pattern, std::u16string_view input, MatchState& state,
            const MatchOptions& options)
        : code_(pattern.Program().code),
          analysis_(pattern.Analysis()),
          input_(input),
          length_(static_cast<std::int32_t>(input.size())),
          foldCase_(pattern.Program().caseMode == CaseMode::kInsensitive),
          state_(state),
          slotCount_(static_cast<std::size_t>(pattern.Program().slotCount)) {
        if (!options.useShortcuts) {
            return;
        }
        activeHooks_ = Hook::kGapHook | Hook::kRunHook;
        if (analysis_.StartLiteral()) {
            startSearch_.emplace(*analysis_.StartLiteral());
        }
        for (std::size_t i = 0; i < analysis_.Gaps().size(); ++i) {
            gapSearches_[i] = PatternLiteralSearch(analysis_.Gaps()[i].literal);
        }
        if (analysis_.MemoPlan().HasPoints()) {
            memoAfterSteps_ = options.memoizeFromStart ? 0 : 8 * (input.size() + 1) + 4096;
        }
    }

    bool Run() {
        std::optional<std::int32_t> start = FirstStartFrom(0);
        Outcome outcome = Outcome::kNoMatch;
        while (start) {
            state_.matchStart = *start;
            outcome = RunFrom(*start);
            if (outcome != Outcome::kNextStart) {
                break;
            }
            // The position just after the last character is never a start position.
            start = *start + 1 < length_ ? FirstStartFrom(*start + 1) : std::nullopt;
        }
        state_.steps = steps_;
        if (outcome != Outcome::kMatch) {
            state_.matchStart = kUnsetPosition;
        }
        return outcome == Outcome::kMatch;
    }

  private:
    enum class Outcome { kMatch, kNextStart, kNoMatch };

    // The first start position at or after `from` worth trying, or nothing.
    std::optional<std::int32_t> FirstStartFrom(std::int32_t from) {
        if (!startSearch_) {
            return from;
        }
        return Found(startSearch_->FindFrom(input_, static_cast<std::size_t>(from)));
    }

    // Runs from one start position until a match, a verdict on all start positions, or the
    // call to try the next one.
    Outcome RunFrom(std::int32_t start) {
        std::int32_t pc = 0;
        std::int32_t position = start;
        state_.depth = 0;
        if (startSearch_) {
            // The start is where the leading literal was found: run the call at index 0 and
            // step over the literal's characters.
            if (!Push(1)) {
                return Outcome::kNoMatch;
            }
            const auto literalLength = static_cast<std::int32_t>(startSearch_->Length());
            pc = 2 + literalLength;
            position = start + literalLength;
        }
        // The loop's state lives in locals, which stay in registers.
        const PatternInstruction* const code = code_.data();
        const std::uint8_t* const hooks = analysis_.Hooks().data();
        std::uint8_t activeHooks = activeHooks_;
        std::size_t steps = steps_;
        std::size_t memoAfterSteps = memoAfterSteps_;
        Step step = Step::kNext;
        for (;;) {
            if (++steps >= memoAfterSteps) {
                StartMemo();
                activeHooks = activeHooks_;
                memoAfterSteps = memoAfterSteps_;
            }
            step = Step::kRun;
            if (const std::uint8_t due = hooks[pc] & activeHooks; due != 0) {
                step = RunShortcuts(due, pc, position);
                steps += shortcutSteps_;
                shortcutSteps_ = 0;
            }
            if (step == Step::kRun) {
                step = Execute(code[pc], pc, position);
            }
            if (step == Step::kNext || (step == Step::kFail && Backtrack(pc))) {
                continue;
            }
            break;
        }
        steps_ = steps;
        switch (step) {
            case Step::kMatch:
                state_.matchEnd = position;
                return Outcome::kMatch;
            case Step::kNextStart:
                return Outcome::kNextStart;
            default:
                return Outcome::kNoMatch;  // a failure with nothing left to try, or a stop
        }
    }

    // One instruction: the instruction set's table in pattern_program.h, case by case.
    Step Execute(PatternInstruction instruction, std::int32_t& pc, std::int32_t& position) {
        const std::int32_t operand = instruction.operand;
        const auto index = static_cast<std::size_t>(operand);
        switch (instruction.kind) {
            case Op::kNoOp:
                return Advance(pc);
            case Op::kGroupStart:
                state_.groups[index].start = position;
                return Advance(pc);
            case Op::kGroupEnd:
                state_.groups[index].end = position;
                return Advance(pc);
            case Op::kChar:
                if (operand == 0) {
                    return position == length_ ? Advance(pc) : Step::kFail;  // the input's end
                }
                return position < length_ && Unit(position) == operand ? Consume(pc, position)
                                                                       : Step::kFail;
            case Op::kAny:
                return position < length_ ? Consume(pc, position) : Step::kFail;
            case Op::kClass:
            case Op::kNegatedClass:
                if (position >= length_ ||
                    InClass(pc, Unit(position)) != (instruction.kind == Op::kClass)) {
                    return Step::kFail;
                }
                ++position;
                pc = operand;
                return Step::kNext;
            case Op::kJump:
                pc = operand;
                return Step::kNext;
            case Op::kPushPosition:
                return Push(position) ? Advance(pc) : Step::kNoMatch;
            case Op::kPopPosition:
                return Pop(position) && position >= 0 && position <= length_ ? Advance(pc)
                                                                             : Step::kNoMatch;
            case Op::kCall:
                if (!Push(pc + 1)) {
                    return Step::kNoMatch;
                }
                pc = operand;
                return Step::kNext;
            case Op::kReturn:
                return Step::kFail;
            case Op::kPushSlot:
                return Push(state_.slots[index]) ? Advance(pc) : Step::kNoMatch;
            case Op::kPopSlot:
                return Pop(state_.slots[index]) ? Advance(pc) : Step::kNoMatch;
            case Op::kStorePosition:
                state_.slots[index] = position;
                return Advance(pc);
            case Op::kStoreDepth:
                StoreDepth(operand);
                return Advance(pc);
            case Op::kLoadPosition:
                position = state_.slots[index];
                return position >= 0 && position <= length_ ? Advance(pc) : Step::kNoMatch;
            case Op::kLoadDepth:
                return LoadDepth(pc, operand) ? Advance(pc) : Step::kNoMatch;
            case Op::kFailIfNoProgress:
                return position != state_.slots[index] ? Advance(pc) : Step::kFail;
            case Op::kBackReference:
                return BackReferenceMatches(operand, position) ? Advance(pc) : Step::kFail;
            case Op::kAnchoredEnd:
                return Step::kNoMatch;
            case Op::kAdvanceStart:
                return Step::kNextStart;
            case Op::kMatch:
                return Step::kMatch;
            case Op::kPushGroup:
                return Push(state_.groups[index].start) && Push(state_.groups[index].end)
                           ? Advance(pc)
                           : Step::kNoMatch;
            case Op::kPopGroup:
                return Pop(state_.groups[index].end) && Pop(state_.groups[index].start)
                           ? Advance(pc)
                           : Step::kNoMatch;
        }
        return Step::kNoMatch;  // not reached: well-formed programs hold only the kinds above
    }

    static Step Advance(std::int32_t& pc) {
        ++pc;
        return Step::kNext;
    }

    static Step Consume(std::int32_t& pc, std::int32_t& position) {
        ++position;
        return Advance(pc);
    }

    // Fail: continue at the instruction index on top of the stack.
    bool Backtrack(std::int32_t& pc) {
        return Pop(pc) && pc >= 0 && static_cast<std::size_t>(pc) < code_.size();
    }

    // The shortcuts at an instruction, before it runs: a memo point already visited in this
    // state fails at once; a lazy gap jumps to where its literal next begins.
    Step RunShortcuts(std::uint8_t hooks, std::int32_t& pc, std::int32_t& position) {
        if ((hooks & Hook::kMemoHook) != 0 &&
            memo_->SeenBefore(pc, position, state_.slots, state_.groups)) {
            return Step::kFail;
        }
        if ((hooks & Hook::kGapHook) != 0) {
            return EnterGap(pc, position);
        }
        if ((hooks & Hook::kRunHook) != 0) {
            return RunUnits(analysis_.RunAt(pc), pc, position);
        }
        return Step::kRun;
    }

    // A greedy repetition of one character test, entered at pc: take the whole run of units
    // at once, and leave the stack, the loop's slot and the position as the repetitions would
    // have, so that backtracking gives the units back one at a time as before. The steps
    // count the instructions it stands for, so the memo starts when it would have.
    Step RunUnits(const PatternAnalysis::UnitRun& run, std::int32_t& pc, std::int32_t& position) {
        const std::int32_t end = RunEnd(run.test, position);
        const auto count = static_cast<std::size_t>(end - position);
        const auto wrappers = static_cast<std::size_t>(run.wrappers);
        if (!Reserve(count * (3 + wrappers))) {
            return Step::kNoMatch;
        }
        std::int32_t* const stack = state_.stack.data();
        std::int32_t depth = state_.depth;
        std::int32_t& slot = state_.slots[static_cast<std::size_t>(run.slot)];
        for (std::int32_t at = position; at < end; ++at) {
            // push slot; push position; call (its return index); each wrapper's call.
            stack[++depth] = slot;
            stack[++depth] = at;
            stack[++depth] = pc + 4;
            for (std::int32_t w = 0; w < run.wrappers; ++w) {
                stack[++depth] = pc + 8 + 2 * w;
            }
            slot = at;
        }
        state_.depth = depth;
        position = end;
        pc = run.exit;
        // Each repetition runs 7 + wrappers instructions; the last, failing one 8 + 2 *
        // wrappers, one of which the loop counts.
        shortcutSteps_ = count * (7 + wrappers) + 7 + 2 * wrappers;
        return Step::kNext;
    }

    // Where the run of units passing the test from `from` on ends.
    std::int32_t RunEnd(std::int32_t test, std::int32_t from) const {
        const PatternInstruction instruction = code_[static_cast<std::size_t>(test)];
        std::int32_t end = from;
        if (instruction.kind == Op::kAny) {
            end = length_;
        } else if (instruction.kind == Op::kChar) {
            while (end < length_ && Unit(end) == instruction.operand) {
                ++end;
            }
        } else {
            const bool inside = instruction.kind == Op::kClass;
            while (end < length_ && InClass(test, Unit(end)) == inside) {
                ++end;
            }
        }
        return end;
    }

    // A lazy gap of any characters followed by a literal, entered at pc: instead of trying the
    // rest of the pattern at every position, go to where the literal next begins, as the
    // repetitions would have, and continue after the literal with the gap's entries pushed.
    // Skipped positions would only have failed at that literal.
    Step EnterGap(std::int32_t& pc, std::int32_t& position) {
        PatternLiteralSearch& gap = GapSearchAt(pc);
        const std::optional<std::int32_t> gapEnd =
            Found(gap.FindFrom(input_, static_cast<std::size_t>(position)));
        if (!gapEnd) {
            return Step::kFail;
        }
        if (*gapEnd != position && memo_ && analysis_.MemoPlan().IsPoint(pc) &&
            memo_->SeenBefore(pc, *gapEnd, state_.slots, state_.groups)) {
            return Step::kFail;
        }
        if (!Push(*gapEnd) || !Push(pc + 2)) {
            return Step::kNoMatch;
        }
        const auto literalLength = static_cast<std::int32_t>(gap.Length());
        position = *gapEnd + literalLength;
        pc = code_[static_cast<std::size_t>(pc) + 1].operand + literalLength;
        return Step::kNext;
    }

    PatternLiteralSearch& GapSearchAt(std::int32_t pc) {
        std::size_t i = 0;
        while (analysis_.Gaps()[i].pc != pc) {
            ++i;  // the gap hook is set only at the gaps' instructions
        }
        return gapSearches_[i];
    }

    void StartMemo() {
        memoAfterSteps_ = std::numeric_limits<std::size_t>::max();
        try {
            memo_ = std::make_unique<PatternMemo>(analysis_.MemoPlan(), input_.size());
            // Runs of units step by step from now on, so that the memo sees each repetition.
            activeHooks_ = Hook::kGapHook | Hook::kMemoHook;
        } catch (const std::bad_alloc&) {
            memo_.reset();  // runs on without a memo
        }
    }

    // A negative look-ahead begins: whatever its atom captures is undone.
    void StoreDepth(std::int32_t slot) {
        const auto index = static_cast<std::size_t>(slot);
        state_.slots[index] = state_.depth;
        groupSnapshots_.resize(slotCount_);
        groupSnapshots_[index] = state_.groups;
        if (memo_) {
            memo_->OnStoreDepth(slot);
        }
    }

    bool LoadDepth(std::int32_t pc, std::int32_t slot) {
        const auto index = static_cast<std::size_t>(slot);
        const std::int32_t depth = state_.slots[index];
        if (depth < 0 || depth > state_.depth || index >= groupSnapshots_.size() ||
            groupSnapshots_[index].size() != state_.groups.size()) {
            return false;
        }
        state_.depth = depth;
        state_.groups = groupSnapshots_[index];
        if (memo_) {
            memo_->OnLoadDepth(pc, slot);
        }
        return true;
    }

    char16_t Unit(std::int32_t position) const {
        const char16_t c = input_[static_cast<std::size_t>(position)];
        return foldCase_ && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }

    bool Push(std::int32_t value) {
        if (static_cast<std::size_t>(state_.depth) + 1 >= state_.stack.size() && !Reserve(1)) {
            return false;
        }
        state_.stack[static_cast<std::size_t>(++state_.depth)] = value;
        return true;
    }

    // Room for `count` more entries; false when the depth would pass 2^31 - 1.
    bool Reserve(std::size_t count) {
        std::vector<std::int32_t>& stack = state_.stack;
        const std::size_t needed = static_cast<std::size_t>(state_.depth) + count + 1;
        if (needed <= stack.size()) {
            return true;
        }
        const std::size_t room = std::max(needed, 2 * static_cast<std::size_t>(state_.depth) + 4);
        if (room > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            return false;
        }
        stack.resize(room);  // std::bad_alloc ends the match as no match
        return true;
    }

    bool Pop(std::int32_t& value) {
        if (state_.depth <= 0) {
            return false;
        }
        value = state_.stack[static_cast<std::size_t>(state_.depth--)];
        return true;
    }

    bool InClass(std::int32_t pc, char16_t c) const {
        const auto at = static_cast<std::size_t>(pc);
        const auto after = static_cast<std::size_t>(code_[at].operand);
        for (std::size_t pair = at + 1; pair < after; pair += 2) {
            if (code_[pair].operand <= c && c <= code_[pair + 1].operand) {
                return true;
            }
        }
        return false;
    }

    bool BackReferenceMatches(std::int32_t group, std::int32_t& position) const {
        const GroupSpan& span = state_.groups[static_cast<std::size_t>(group)];
        if (span.start < 0 || span.end < span.start || span.end > length_) {
            return false;  // unset: nothing to repeat
        }
        const std::int32_t length = span.end - span.start;
        if (length > length_ - position) {
            return false;
        }
        for (std::int32_t i = 0; i < length; ++i) {
            if (Unit(span.start + i) != Unit(position + i)) {
                return false;
            }
        }
        position += length;
        return true;
    }

    const std::vector<PatternInstruction>& code_;
    const PatternAnalysis& analysis_;
    std::u16string_view input_;
    std::int32_t length_;
    bool foldCase_;
    MatchState& state_;
    std::size_t slotCount_;
    std::uint8_t activeHooks_ = Hook::kNoHook;  // the shortcuts this run takes
    std::optional<PatternLiteralSearch> startSearch_;
    std::array<PatternLiteralSearch, PatternAnalysis::kMaxGaps> gapSearches_;
    std::unique_ptr<PatternMemo> memo_;
    std::size_t steps_ = 0;
    std::size_t shortcutSteps_ = 0;  // more steps the last shortcut stands for
    std::size_t memoAfterSteps_ = std::numeric_limits<std::size_t>::max();
    std::vector<std::vector<GroupSpan>> groupSnapshots_;  // per look-ahead depth slot
};

}  // namespace

bool MatchPattern(const PreparedPattern& pattern, std::u16string_view input, MatchState& state,
                  const MatchOptions& options) {
    state.matchStart = kUnsetPosition;
    state.matchEnd = kUnsetPosition;
    state.depth = 0;
    state.steps = 0;
    if (!pattern.Analysis().WellFormed() || input.size() > kMaxInputLength) {
        return false;
    }
    try {
        if (state.stack.size() < kInitialStackEntries) {
            state.stack.resize(kInitialStackEntries);
        }
        state.groups.assign(static_cast<std::size_t>(pattern.Program().groupCount), GroupSpan{});
        state.slots.assign(static_cast<std::size_t>(pattern.Program().slotCount), 0);
        Machine machine(pattern, input, state, options);
        return machine.Run();
    } catch (const std::bad_alloc&) {
        state.matchStart = kUnsetPosition;
        state.matchEnd = kUnsetPosition;
        return false;
    }
}

bool MatchPattern(const PatternProgram& program, std::u16string_view input, MatchState& state,
                  const MatchOptions& options) {
    std::optional<PreparedPattern> pattern;
    try {
        pattern.emplace(program);
    } catch (const std::bad_alloc&) {
        state.matchStart = kUnsetPosition;
        state.matchEnd = kUnsetPosition;
        return false;
    }
    return MatchPattern(*pattern, input, state, options);
}

}  // namespace kesto
