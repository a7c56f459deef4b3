#pragma once
// Compiles the program's own pattern syntax into a PatternProgram.
//
// Syntax: "{...}" captures (groups numbered from 0 by their opening brace), "(...)" groups
// without capturing, "|" alternates single factors (ab|cd is a, then b or c, then d), "*" "+"
// "?" are greedy, "*?" "+?" "??" lazy, "!" atom is a negative look-ahead, "[...]" and "[^...]"
// are classes, "." is any character, "\" digits a back-reference, "\a \b \c \d \h \n \q \w \z"
// abbreviations, a leading "^" anchors at the start and a final "$" at the end of the input. A
// stray ")", "]" or "}" at the top level ends the pattern. Text is UTF-16 code units.

#include <string_view>

#include "matcher/pattern_program.h"

namespace kesto {

// Deepest nesting of groups, look-aheads and abbreviations the compiler accepts
// (kPatternTooDeep beyond it), and the largest program it builds.
inline constexpr int kMaxPatternNesting = 100;
inline constexpr std::size_t kMaxPatternInstructions = std::size_t{1} << 20;

// Compiles the pattern (up to its first zero code unit) and returns the error code, which is
// also stored in program.lastError. On an error the program holds no instructions.
int CompilePattern(std::u16string_view pattern, CaseMode caseMode, PatternProgram& program);
// The same for a zero-terminated pattern; null gives kPatternMissing.
int CompilePattern(const char16_t* pattern, CaseMode caseMode, PatternProgram& program);

}  // namespace kesto
