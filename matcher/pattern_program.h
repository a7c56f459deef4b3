#pragma once
// The compiled form of the program's own patterns: a flat list of instructions for a small
// backtracking machine with an explicit stack (see pattern_machine.h).
//
// The instruction set is the table below, one row per kind: its name, its number, what its
// operand is, and what it does. The enum and the operand rules are made from it; the machine
// runs it as one switch with a case per row (pattern_machine.cpp). "Fail" continues at the
// instruction index popped from the stack. Numbers 5, 6, 9 to 12, 18 and 19 are no kind.

#include <cstdint>
#include <optional>
#include <vector>

// clang-format off
#define KESTO_PATTERN_INSTRUCTIONS(X)                                                              \
  X(kNoOp,                 0,  kUnit)     /* next instruction (class range pairs hold a char)   */ \
  X(kGroupStart,           1,  kGroup)    /* group start := position                            */ \
  X(kGroupEnd,             2,  kGroup)    /* group end := position                              */ \
  X(kChar,                 3,  kUnit)     /* equal character: advance; else fail. Char 0 is the */ \
                                          /* end of the input: matches there, advances not      */ \
  X(kAny,                  4,  kAnything) /* not at the end: advance; else fail                 */ \
  X(kClass,                7,  kTarget)   /* followed by (low, high) kNoOp pairs up to the      */ \
  X(kNegatedClass,         8,  kTarget)   /* operand; a character in some range (kClass) / in   */ \
                                          /* none (kNegatedClass): advance and continue at the  */ \
                                          /* operand; else fail                                 */ \
  X(kJump,                13,  kTarget)   /* continue at the target                             */ \
  X(kPushPosition,        14,  kAnything) /* push the position                                  */ \
  X(kPopPosition,         15,  kAnything) /* position := pop                                    */ \
  X(kCall,                16,  kTarget)   /* push the next index; continue at the target        */ \
  X(kReturn,              17,  kAnything) /* continue at the popped index (the same as a fail)  */ \
  X(kPushSlot,            20,  kSlot)     /* push the slot                                      */ \
  X(kPopSlot,             21,  kSlot)     /* slot := pop                                        */ \
  X(kStorePosition,       22,  kSlot)     /* slot := position                                   */ \
  X(kStoreDepth,          23,  kSlot)     /* slot := stack depth; the group table is saved      */ \
  X(kLoadPosition,        24,  kSlot)     /* position := slot                                   */ \
  X(kLoadDepth,           25,  kSlot)     /* stack depth := slot; the saved group table returns */ \
  X(kFailIfNoProgress,    26,  kSlot)     /* position equal to the slot: fail                   */ \
  X(kBackReference,       27,  kGroup)    /* the group's text follows: advance over it; else    */ \
                                          /* fail                                               */ \
  X(kAnchoredEnd,         28,  kAnything) /* the match fails (no further start positions)       */ \
  X(kAdvanceStart,        29,  kAnything) /* try the next start position                        */ \
  X(kMatch,               30,  kAnything) /* success                                            */ \
  X(kPushGroup,           31,  kGroup)    /* push the group's start, then its end               */ \
  X(kPopGroup,            32,  kGroup)    /* group end := pop, then group start := pop          */
// clang-format on

namespace kesto {

// What an operand must be: anything (unused), a UTF-16 code unit, an instruction index, a
// group number or a slot number.
enum class PatternOperand : std::uint8_t { kAnything, kUnit, kTarget, kGroup, kSlot };

enum class PatternOp : std::int32_t {
#define KESTO_PATTERN_ENUMERATOR(name, number, operand) name = number,
    KESTO_PATTERN_INSTRUCTIONS(KESTO_PATTERN_ENUMERATOR)
#undef KESTO_PATTERN_ENUMERATOR
};

// The operand rule of an instruction kind, or nothing for a number that is no kind.
constexpr std::optional<PatternOperand> OperandOf(PatternOp kind) {
    switch (kind) {
#define KESTO_PATTERN_OPERAND_CASE(name, number, operand) \
    case PatternOp::name:                                 \
        return PatternOperand::operand;
        KESTO_PATTERN_INSTRUCTIONS(KESTO_PATTERN_OPERAND_CASE)
#undef KESTO_PATTERN_OPERAND_CASE
    }
    return std::nullopt;
}

struct PatternInstruction {
    PatternOp kind = PatternOp::kNoOp;
    std::int32_t operand = 0;

    friend bool operator==(const PatternInstruction&, const PatternInstruction&) = default;
};

enum class CaseMode { kSensitive, kInsensitive };

// Compile error codes.
enum PatternError : int {
    kPatternOk = 0,
    kPatternOutOfMemory = 1,
    kPatternUnclosedBrace = 2,        // "{" without its "}"
    kPatternUnclosedParenthesis = 3,  // "(" without its ")"
    kPatternUnclosedBracket = 4,      // "[" without "]", or a class range without its high end
    kPatternBadAbbreviation = 5,      // an abbreviation's expansion failed to compile
    kPatternEmptyClass = 6,           // "[]" or "[^]"
    kPatternUnknownGroup = 7,         // back-reference to a group not yet opened
    kPatternReversedRange = 8,        // class range whose high end is below its low end
    kPatternEmptyRepetition = 9,      // "*", "+", "*?" or "+?" on what can match nothing
    kPatternMissing = 10,             // no pattern given
    kPatternTooDeep = 11,  // nested too deeply, or too many instructions (pattern_compiler.h)
    kPatternTrailingBackslash = 12,  // the pattern ends in a single backslash
};

struct PatternProgram {
    std::vector<PatternInstruction> code;
    int groupCount = 0;
    int slotCount = 0;
    int lastError = kPatternOk;
    CaseMode caseMode = CaseMode::kInsensitive;
};

}  // namespace kesto
