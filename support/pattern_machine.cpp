#include "support/pattern_machine.h"

#include <array>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "support/pattern_literal_finder.h"
#include "support/pattern_memo.h"

namespace kesto {
namespace {

using Op = PatternOp;
using Code = std::vector<PatternInstruction>;

constexpr std::size_t kInitialStackEntries = 256;
constexpr std::size_t kMaxInputLength = std::numeric_limits<std::int32_t>::max() - 1;

bool ClassIsWellFormed(const Code& code, std::size_t at) {
    const auto after = static_cast<std::size_t>(code[at].operand);
    if (after <= at || (after - at - 1) % 2 != 0) {
        return false;
    }
    for (std::size_t i = at + 1; i < after; ++i) {
        if (code[i].kind != Op::kNoOp) {
            return false;
        }
    }
    return true;
}

// What an instruction's operand must be, by kind.
enum OperandRule : std::uint8_t { kAnyOperand, kUnit, kTarget, kGroup, kSlot, kUnknownKind };
constexpr std::array<OperandRule, 33> kOperandRules = {
    kUnit,       kGroup,      kGroup,       kUnit,        kAnyOperand,  kUnknownKind, kUnknownKind,
    kTarget,     kTarget,     kUnknownKind, kUnknownKind, kUnknownKind, kUnknownKind, kTarget,
    kAnyOperand, kAnyOperand, kTarget,      kAnyOperand,  kUnknownKind, kUnknownKind, kSlot,
    kSlot,       kSlot,       kSlot,        kSlot,        kSlot,        kSlot,        kGroup,
    kAnyOperand, kAnyOperand, kAnyOperand,  kGroup,       kGroup};

// Every operand in range, classes followed by their pairs, no way to run past the end.
bool IsWellFormed(const PatternProgram& program) {
    const Code& code = program.code;
    if (code.empty() || program.groupCount < 0 || program.slotCount < 0) {
        return false;
    }
    const Op last = code.back().kind;
    if (last != Op::kMatch && last != Op::kJump && last != Op::kReturn &&
        last != Op::kAnchoredEnd && last != Op::kAdvanceStart) {
        return false;
    }
    // Exclusive upper bound of the operand, by rule.
    const std::array<std::size_t, 6> limits = {std::numeric_limits<std::size_t>::max(),
                                               0x10000,
                                               code.size(),
                                               static_cast<std::size_t>(program.groupCount),
                                               static_cast<std::size_t>(program.slotCount),
                                               0};
    for (std::size_t at = 0; at < code.size(); ++at) {
        const auto kind = static_cast<std::uint32_t>(code[at].kind);
        if (kind >= kOperandRules.size()) {
            return false;
        }
        const OperandRule rule = kOperandRules[kind];
        const std::int32_t operand = code[at].operand;
        if (rule != kAnyOperand &&
            (operand < 0 || static_cast<std::size_t>(operand) >= limits[rule])) {
            return false;
        }
        if ((code[at].kind == Op::kClass || code[at].kind == Op::kNegatedClass) &&
            !ClassIsWellFormed(code, at)) {
            return false;
        }
    }
    return true;
}

// The length of the run of character instructions from `at` (end-of-input excluded).
std::size_t LiteralLengthAt(const Code& code, std::size_t at) {
    std::size_t length = 0;
    while (at + length < code.size() && code[at + length].kind == Op::kChar &&
           code[at + length].operand != 0) {
        ++length;
    }
    return length;
}

// push position; call P; pop position; any; jump back; P: a literal.
bool IsLazyAnyGap(const Code& code, std::size_t pc) {
    return pc + 5 < code.size() && code[pc].kind == Op::kPushPosition &&
           code[pc + 1].kind == Op::kCall &&
           static_cast<std::size_t>(code[pc + 1].operand) == pc + 5 &&
           code[pc + 2].kind == Op::kPopPosition && code[pc + 3].kind == Op::kAny &&
           code[pc + 4].kind == Op::kJump && static_cast<std::size_t>(code[pc + 4].operand) == pc &&
           LiteralLengthAt(code, pc + 5) > 0;
}

// Literal searches that skip start positions and lazy-gap positions where the pattern's next
// literal cannot begin. Skipped steps would only have failed at that literal. Up to
// kMaxGaps gaps are accelerated; the others run instruction by instruction.
class Shortcuts {
  public:
    Shortcuts(const Code& code, bool foldCase) {
        if (code.size() > 2 && code[0] == PatternInstruction{Op::kCall, 2} &&
            code[1].kind == Op::kAdvanceStart) {
            const std::size_t length = LiteralLengthAt(code, 2);
            if (length > 0) {
                start_.Reset(&code[2], length, foldCase);
            }
        }
        for (std::size_t pc = 0; pc < code.size() && gapCount_ < kMaxGaps; ++pc) {
            if (IsLazyAnyGap(code, pc)) {
                GapSite& gap = gaps_[gapCount_++];
                gap.pc = static_cast<std::int32_t>(pc);
                gap.finder.Reset(&code[pc + 5], LiteralLengthAt(code, pc + 5), foldCase);
            }
        }
    }

    // The first start position at or after `from` worth trying, or nothing.
    std::optional<std::int32_t> NextStart(std::u16string_view input, std::int32_t from) {
        if (start_.Length() == 0) {
            return from;
        }
        return Found(start_.FindFrom(input, static_cast<std::size_t>(from)));
    }

    std::int32_t StartLiteralLength() const { return static_cast<std::int32_t>(start_.Length()); }

    // The accelerated gap headed by pc, or null.
    PatternLiteralFinder* Gap(std::int32_t pc) {
        for (std::size_t i = 0; i < gapCount_; ++i) {
            if (gaps_[i].pc == pc) {
                return &gaps_[i].finder;
            }
        }
        return nullptr;
    }

    static std::optional<std::int32_t> Found(std::size_t at) {
        if (at == PatternLiteralFinder::kNone) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(at);
    }

  private:
    static constexpr std::size_t kMaxGaps = 4;
    struct GapSite {
        std::int32_t pc = -1;
        PatternLiteralFinder finder;
    };

    PatternLiteralFinder start_;
    std::array<GapSite, kMaxGaps> gaps_;
    std::size_t gapCount_ = 0;
};

class Machine {
  public:
    Machine(const PatternProgram& program, std::u16string_view input, MatchState& state,
            const MatchOptions& options)
        : code_(program.code),
          input_(input),
          length_(static_cast<std::int32_t>(input.size())),
          foldCase_(program.caseMode == CaseMode::kInsensitive),
          state_(state) {
        if (options.useShortcuts) {
            shortcuts_.emplace(code_, foldCase_);
            memoAfterSteps_ = options.memoizeFromStart ? 0 : 8 * (input.size() + 1) + 4096;
        }
        slotCount_ = static_cast<std::size_t>(program.slotCount);
    }

    bool Run() {
        const bool matched = RunEachStart();
        state_.steps = steps_;
        return matched;
    }

  private:
    enum class Outcome { kMatch, kNextStart, kNoMatch };

    bool RunEachStart() {
        std::optional<std::int32_t> start = FirstStartFrom(0);
        while (start) {
            state_.matchStart = *start;
            switch (RunFrom(*start)) {
                case Outcome::kMatch:
                    return true;
                case Outcome::kNoMatch:
                    state_.matchStart = kUnsetPosition;
                    return false;
                case Outcome::kNextStart:
                    // The position just after the last character is never a start position.
                    start = *start + 1 < length_ ? FirstStartFrom(*start + 1) : std::nullopt;
                    break;
            }
        }
        state_.matchStart = kUnsetPosition;
        return false;
    }

    std::optional<std::int32_t> FirstStartFrom(std::int32_t from) {
        return shortcuts_ ? shortcuts_->NextStart(input_, from) : from;
    }

    char16_t Unit(std::int32_t position) const {
        const char16_t c = input_[static_cast<std::size_t>(position)];
        return foldCase_ && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }

    bool Push(std::int32_t value) {
        std::vector<std::int32_t>& stack = state_.stack;
        if (static_cast<std::size_t>(state_.depth) + 1 >= stack.size()) {
            const std::size_t room = 2 * static_cast<std::size_t>(state_.depth) + 4;
            if (room > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                return false;
            }
            stack.resize(room);  // std::bad_alloc ends the match as no match
        }
        stack[static_cast<std::size_t>(++state_.depth)] = value;
        return true;
    }

    bool Pop(std::int32_t& value) {
        if (state_.depth <= 0) {
            return false;
        }
        value = state_.stack[static_cast<std::size_t>(state_.depth--)];
        return true;
    }

    bool PopPosition(std::int32_t& position) {
        return Pop(position) && position >= 0 && position <= length_;
    }

    bool InClass(std::size_t at, char16_t c) const {
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

    void StartMemoIfDue() {
        if (memo_ || !shortcuts_) {
            return;
        }
        memoAfterSteps_ = std::numeric_limits<std::size_t>::max();
        try {
            memo_ = PatternMemo::Plan(code_, input_.size());
        } catch (const std::bad_alloc&) {
            memo_.reset();  // runs on without a memo
        }
    }

    // A lazy gap of any characters followed by a literal, entered at pc: instead of trying the
    // rest of the pattern at every position, go to where the literal next begins, as the
    // repetitions would have, and continue after the literal with the gap's entries pushed.
    enum class GapEntry { kEntered, kFailed, kOutOfMemory };
    GapEntry EnterGap(PatternLiteralFinder& gap, std::int32_t& pc, std::int32_t& position) {
        const std::optional<std::int32_t> gapEnd =
            Shortcuts::Found(gap.FindFrom(input_, static_cast<std::size_t>(position)));
        if (!gapEnd) {
            return GapEntry::kFailed;
        }
        if (*gapEnd != position && memo_ && memo_->IsPoint(pc) &&
            memo_->SeenBefore(pc, *gapEnd, state_.slots, state_.groups)) {
            return GapEntry::kFailed;
        }
        if (!Push(*gapEnd) || !Push(pc + 2)) {
            return GapEntry::kOutOfMemory;
        }
        const auto literalLength = static_cast<std::int32_t>(gap.Length());
        position = *gapEnd + literalLength;
        pc = code_[static_cast<std::size_t>(pc) + 1].operand + literalLength;
        return GapEntry::kEntered;
    }

    Outcome RunFrom(std::int32_t start) {
        std::int32_t pc = 0;
        std::int32_t position = start;
        std::int32_t value = 0;
        state_.depth = 0;
        if (shortcuts_ && shortcuts_->StartLiteralLength() > 0) {
            // The start is where the leading literal was found: run the call at index 0 and
            // step over the literal's characters.
            if (!Push(1)) {
                return Outcome::kNoMatch;
            }
            pc = 2 + shortcuts_->StartLiteralLength();
            position = start + shortcuts_->StartLiteralLength();
        }
        const auto size = static_cast<std::int32_t>(code_.size());
        for (;;) {
            if (++steps_ >= memoAfterSteps_) {
                StartMemoIfDue();
            }
            const PatternInstruction instruction = code_[static_cast<std::size_t>(pc)];
            const std::int32_t operand = instruction.operand;
            const auto index = static_cast<std::size_t>(operand);
            bool ok = true;
            if (memo_ && memo_->IsPoint(pc) &&
                memo_->SeenBefore(pc, position, state_.slots, state_.groups)) {
                ok = false;
            } else {
                switch (instruction.kind) {
                    case Op::kNoOp:
                        ++pc;
                        break;
                    case Op::kGroupStart:
                        state_.groups[index].start = position;
                        ++pc;
                        break;
                    case Op::kGroupEnd:
                        state_.groups[index].end = position;
                        ++pc;
                        break;
                    case Op::kChar:
                        if (operand == 0) {
                            ok = position == length_;  // the end of the input
                        } else {
                            ok = position < length_ && Unit(position) == operand;
                            position += ok ? 1 : 0;
                        }
                        pc += ok ? 1 : 0;
                        break;
                    case Op::kAny:
                        ok = position < length_;
                        position += ok ? 1 : 0;
                        pc += ok ? 1 : 0;
                        break;
                    case Op::kClass:
                    case Op::kNegatedClass:
                        ok = position < length_ &&
                             InClass(static_cast<std::size_t>(pc), Unit(position)) ==
                                 (instruction.kind == Op::kClass);
                        if (ok) {
                            ++position;
                            pc = operand;
                        }
                        break;
                    case Op::kJump:
                        pc = operand;
                        break;
                    case Op::kPushPosition:
                        if (PatternLiteralFinder* gap =
                                shortcuts_ ? shortcuts_->Gap(pc) : nullptr) {
                            const GapEntry entry = EnterGap(*gap, pc, position);
                            if (entry == GapEntry::kOutOfMemory) {
                                return Outcome::kNoMatch;
                            }
                            ok = entry == GapEntry::kEntered;
                            break;
                        }
                        if (!Push(position)) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kPopPosition:
                        if (!PopPosition(position)) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kCall:
                        if (!Push(pc + 1)) {
                            return Outcome::kNoMatch;
                        }
                        pc = operand;
                        break;
                    case Op::kReturn:
                        ok = false;
                        break;
                    case Op::kPushSlot:
                        if (!Push(state_.slots[index])) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kPopSlot:
                        if (!Pop(state_.slots[index])) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kStorePosition:
                        state_.slots[index] = position;
                        ++pc;
                        break;
                    case Op::kStoreDepth:
                        // A negative look-ahead begins: whatever its atom captures is undone.
                        state_.slots[index] = state_.depth;
                        groupSnapshots_.resize(slotCount_);
                        groupSnapshots_[index] = state_.groups;
                        if (memo_) {
                            memo_->OnStoreDepth(operand);
                        }
                        ++pc;
                        break;
                    case Op::kLoadPosition:
                        position = state_.slots[index];
                        if (position < 0 || position > length_) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kLoadDepth:
                        value = state_.slots[index];
                        if (value < 0 || value > state_.depth || index >= groupSnapshots_.size() ||
                            groupSnapshots_[index].size() != state_.groups.size()) {
                            return Outcome::kNoMatch;
                        }
                        state_.depth = value;
                        state_.groups = groupSnapshots_[index];
                        if (memo_) {
                            memo_->OnLoadDepth(pc, operand);
                        }
                        ++pc;
                        break;
                    case Op::kFailIfNoProgress:
                        ok = position != state_.slots[index];
                        pc += ok ? 1 : 0;
                        break;
                    case Op::kBackReference:
                        ok = BackReferenceMatches(operand, position);
                        pc += ok ? 1 : 0;
                        break;
                    case Op::kAnchoredEnd:
                        return Outcome::kNoMatch;
                    case Op::kAdvanceStart:
                        return Outcome::kNextStart;
                    case Op::kMatch:
                        state_.matchEnd = position;
                        return Outcome::kMatch;
                    case Op::kPushGroup:
                        if (!Push(state_.groups[index].start) || !Push(state_.groups[index].end)) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                    case Op::kPopGroup:
                        if (!Pop(state_.groups[index].end) || !Pop(state_.groups[index].start)) {
                            return Outcome::kNoMatch;
                        }
                        ++pc;
                        break;
                }
            }
            if (!ok) {
                // Fail: continue at the instruction index on top of the stack.
                if (!Pop(pc) || pc < 0 || pc >= size) {
                    return Outcome::kNoMatch;
                }
            }
        }
    }

    const Code& code_;
    std::u16string_view input_;
    std::int32_t length_;
    bool foldCase_;
    MatchState& state_;
    std::optional<Shortcuts> shortcuts_;
    std::unique_ptr<PatternMemo> memo_;
    std::size_t steps_ = 0;
    std::size_t memoAfterSteps_ = std::numeric_limits<std::size_t>::max();
    std::size_t slotCount_ = 0;
    std::vector<std::vector<GroupSpan>> groupSnapshots_;  // per look-ahead depth slot
};

}  // namespace

bool MatchPattern(const PatternProgram& program, std::u16string_view input, MatchState& state,
                  const MatchOptions& options) {
    state.matchStart = kUnsetPosition;
    state.matchEnd = kUnsetPosition;
    state.depth = 0;
    state.steps = 0;
    if (program.lastError != kPatternOk || input.size() > kMaxInputLength ||
        !IsWellFormed(program)) {
        return false;
    }
    try {
        state.stack.assign(kInitialStackEntries, 0);
        state.groups.assign(static_cast<std::size_t>(program.groupCount), GroupSpan{});
        state.slots.assign(static_cast<std::size_t>(program.slotCount), 0);
        Machine machine(program, input, state, options);
        return machine.Run();
    } catch (const std::bad_alloc&) {
        state.matchStart = kUnsetPosition;
        state.matchEnd = kUnsetPosition;
        return false;
    }
}

}  // namespace kesto
