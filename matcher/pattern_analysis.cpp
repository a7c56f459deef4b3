#include "matcher/pattern_analysis.h"

#include <algorithm>
#include <limits>

namespace kesto {
namespace {

using Op = PatternOp;
using Code = std::vector<PatternInstruction>;

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

// The exclusive upper bound of an operand under its rule.
std::size_t OperandLimit(PatternOperand rule, const PatternProgram& program) {
    switch (rule) {
        case PatternOperand::kAnything:
            break;
        case PatternOperand::kUnit:
            return 0x10000;
        case PatternOperand::kTarget:
            return program.code.size();
        case PatternOperand::kGroup:
            return static_cast<std::size_t>(program.groupCount);
        case PatternOperand::kSlot:
            return static_cast<std::size_t>(program.slotCount);
    }
    return std::numeric_limits<std::size_t>::max();
}

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
    for (std::size_t at = 0; at < code.size(); ++at) {
        const std::optional<PatternOperand> rule = OperandOf(code[at].kind);
        if (!rule) {
            return false;
        }
        const std::int32_t operand = code[at].operand;
        if (*rule != PatternOperand::kAnything &&
            (operand < 0 || static_cast<std::size_t>(operand) >= OperandLimit(*rule, program))) {
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

bool IsUnitTest(const PatternInstruction& instruction) {
    return (instruction.kind == Op::kChar && instruction.operand != 0) ||
           instruction.kind == Op::kAny || instruction.kind == Op::kClass ||
           instruction.kind == Op::kNegatedClass;
}

// The unit run headed by pc (see PatternAnalysis::UnitRun), if there is one.
std::optional<PatternAnalysis::UnitRun> UnitRunAt(const Code& code, std::size_t pc) {
    const std::size_t body = pc + 7;
    if (body >= code.size() || code[pc].kind != Op::kPushSlot ||
        code[pc + 1] != PatternInstruction{Op::kStorePosition, code[pc].operand} ||
        code[pc + 2].kind != Op::kPushPosition ||
        code[pc + 3] != PatternInstruction{Op::kCall, static_cast<std::int32_t>(body)} ||
        code[pc + 4].kind != Op::kPopPosition ||
        code[pc + 5] != PatternInstruction{Op::kPopSlot, code[pc].operand} ||
        code[pc + 6].kind != Op::kJump) {
        return std::nullopt;
    }
    std::size_t test = body;
    while (test + 1 < code.size() &&
           code[test] == PatternInstruction{Op::kCall, static_cast<std::int32_t>(test + 2)} &&
           code[test + 1].kind == Op::kReturn) {
        test += 2;
    }
    if (test >= code.size() || !IsUnitTest(code[test])) {
        return std::nullopt;
    }
    const bool isClass = code[test].kind == Op::kClass || code[test].kind == Op::kNegatedClass;
    const std::size_t next = isClass ? static_cast<std::size_t>(code[test].operand) : test + 1;
    if (next + 2 > code.size() ||
        code[next] != PatternInstruction{Op::kFailIfNoProgress, code[pc].operand} ||
        code[next + 1] != PatternInstruction{Op::kJump, static_cast<std::int32_t>(pc)} ||
        static_cast<std::size_t>(code[pc + 6].operand) != next + 2) {
        return std::nullopt;
    }
    return PatternAnalysis::UnitRun{
        static_cast<std::int32_t>(pc), code[pc].operand, static_cast<std::int32_t>(test),
        static_cast<std::int32_t>((test - body) / 2), static_cast<std::int32_t>(next + 2)};
}

}  // namespace

PatternAnalysis::PatternAnalysis(const PatternProgram& program)
    : wellFormed_(program.lastError == kPatternOk && IsWellFormed(program)) {
    if (!wellFormed_) {
        return;
    }
    const Code& code = program.code;
    const bool foldCase = program.caseMode == CaseMode::kInsensitive;
    hooks_.assign(code.size(), kNoHook);
    if (code.size() > 2 && code[0] == PatternInstruction{Op::kCall, 2} &&
        code[1].kind == Op::kAdvanceStart && LiteralLengthAt(code, 2) > 0) {
        startLiteral_.emplace(&code[2], LiteralLengthAt(code, 2), foldCase);
    }
    gaps_.reserve(kMaxGaps);
    for (std::size_t pc = 0; pc < code.size() && gaps_.size() < kMaxGaps; ++pc) {
        if (IsLazyAnyGap(code, pc)) {
            gaps_.push_back(
                Gap{static_cast<std::int32_t>(pc),
                    PatternLiteralFinder(&code[pc + 5], LiteralLengthAt(code, pc + 5), foldCase)});
            hooks_[pc] |= kGapHook;
        }
    }
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (const std::optional<UnitRun> run = UnitRunAt(code, pc)) {
            runs_.push_back(*run);
            hooks_[pc] |= kRunHook;
        }
    }
    memoPlan_.emplace(code);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (memoPlan_->IsPoint(static_cast<std::int32_t>(pc))) {
            hooks_[pc] |= kMemoHook;
        }
    }
}

const PatternAnalysis::UnitRun& PatternAnalysis::RunAt(std::int32_t pc) const {
    return *std::lower_bound(runs_.begin(), runs_.end(), pc,
                             [](const UnitRun& run, std::int32_t at) { return run.pc < at; });
}

}  // namespace kesto
