#pragma once
// The compiled form of the program's own patterns: a flat list of instructions for a small
// backtracking machine with an explicit stack (see pattern_machine.h).
//
// kind  name                operand          effect
//  0    kNoOp               - / range char   next instruction (class range pairs hold a char)
//  1    kGroupStart         group            group start := position
//  2    kGroupEnd           group            group end := position
//  3    kChar               char             equal character: advance; else fail. Char 0 is
//                                            the end of the input: matches there, advances not
//  4    kAny                -                not at the end: advance; else fail
//  7    kClass              index after it   followed by (low, high) kNoOp pairs; a character in
//  8    kNegatedClass       index after it   some range (kClass) / in none (kNegatedClass): advance
//                                            and continue at the operand; else fail
// 13    kJump               target           continue at the target
// 14    kPushPosition       -                push the position
// 15    kPopPosition        -                position := pop
// 16    kCall               target           push the next index; continue at the target
// 17    kReturn             -                continue at the popped index (the same as a fail)
// 20    kPushSlot           slot             push the slot
// 21    kPopSlot            slot             slot := pop
// 22    kStorePosition      slot             slot := position
// 23    kStoreDepth         slot             slot := stack depth; the group table is saved
// 24    kLoadPosition       slot             position := slot
// 25    kLoadDepth          slot             stack depth := slot; the saved group table returns
// 26    kFailIfNoProgress   slot             position equal to the slot: fail
// 27    kBackReference      group            the group's text follows: advance over it; else fail
// 28    kAnchoredEnd        -                the match fails (no further start positions)
// 29    kAdvanceStart       -                try the next start position
// 30    kMatch              -                success
// 31    kPushGroup          group            push the group's start, then its end
// 32    kPopGroup           group            group end := pop, then group start := pop
//
// "Fail" continues at the instruction index popped from the stack. Kinds 5, 6, 9 to 12, 18 and
// 19 are never produced.

#include <cstdint>
#include <vector>

namespace kesto {

enum class PatternOp : std::int32_t {
    kNoOp = 0,
    kGroupStart = 1,
    kGroupEnd = 2,
    kChar = 3,
    kAny = 4,
    kClass = 7,
    kNegatedClass = 8,
    kJump = 13,
    kPushPosition = 14,
    kPopPosition = 15,
    kCall = 16,
    kReturn = 17,
    kPushSlot = 20,
    kPopSlot = 21,
    kStorePosition = 22,
    kStoreDepth = 23,
    kLoadPosition = 24,
    kLoadDepth = 25,
    kFailIfNoProgress = 26,
    kBackReference = 27,
    kAnchoredEnd = 28,
    kAdvanceStart = 29,
    kMatch = 30,
    kPushGroup = 31,
    kPopGroup = 32,
};

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
