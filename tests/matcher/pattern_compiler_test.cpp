#include "matcher/pattern_compiler.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

using Op = PatternOp;

int Compile(std::u16string_view pattern, CaseMode mode = CaseMode::kInsensitive) {
    PatternProgram program;
    const int error = CompilePattern(pattern, mode, program);
    EXPECT_EQ(program.lastError, error);
    if (error != kPatternOk) {
        EXPECT_TRUE(program.code.empty());
    }
    return error;
}

TEST(PatternCompilerTest, ReportsEachErrorCode) {
    const struct {
        std::u16string_view pattern;
        int error;
    } cases[] = {
        {u"", kPatternOk},
        {u"{a", kPatternUnclosedBrace},
        {u"{a)", kPatternUnclosedBrace},
        {u"x{a]", kPatternUnclosedBrace},
        {u"(a", kPatternUnclosedParenthesis},
        {u"(a}", kPatternUnclosedParenthesis},
        {u"(a|)", kPatternUnclosedParenthesis},  // ")" after "|" is a literal
        {u"[a", kPatternUnclosedBracket},
        {u"[a-", kPatternUnclosedBracket},
        {u"[a-]", kPatternUnclosedBracket},
        {u"[a\\", kPatternUnclosedBracket},
        {u"[]", kPatternEmptyClass},
        {u"[^]", kPatternEmptyClass},
        {u"[z-a]", kPatternReversedRange},
        {u"[a-a]", kPatternOk},
        {u"[\\]-\\]]", kPatternOk},
        {u"\\0{a}", kPatternUnknownGroup},
        {u"{a}\\1", kPatternUnknownGroup},
        {u"{a}\\99999999999999999999", kPatternUnknownGroup},
        {u"{a}\\0", kPatternOk},
        {u"{a\\0}", kPatternOk},  // opened, not yet closed
        {u"(a*)*", kPatternEmptyRepetition},
        {u"(a*)+", kPatternEmptyRepetition},
        {u"(a?)*?", kPatternEmptyRepetition},
        {u"(a?)+?", kPatternEmptyRepetition},
        {u"()*", kPatternEmptyRepetition},
        {u"(a?)?", kPatternOk},
        {u"(a?)??", kPatternOk},
        {u"(a*)?", kPatternOk},
        {u"(!a)*", kPatternOk},                // counts as its atom for greedy repetitions
        {u"(!a)*?", kPatternEmptyRepetition},  // but would never end as a lazy one
        {u"{a?}\\0*", kPatternOk},
        {u"{a?}\\0*?", kPatternEmptyRepetition},
        {u"{a}\\0*?", kPatternOk},
        {u"a\\", kPatternTrailingBackslash},
        {u"a\\\\", kPatternOk},
        {u"*+?|", kPatternOk},      // literals where an atom is expected; empty last alternative
        {u"abc)def(", kPatternOk},  // everything from the stray ")" is ignored
        {u"\\d\\a\\b\\c\\h\\n\\q\\w\\z", kPatternOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        EXPECT_EQ(Compile(c.pattern), c.error);
    }
}

TEST(PatternCompilerTest, MissingPatternIsErrorTen) {
    PatternProgram program;
    EXPECT_EQ(
        CompilePattern(static_cast<const char16_t*>(nullptr), CaseMode::kInsensitive, program),
        kPatternMissing);
    EXPECT_EQ(program.lastError, kPatternMissing);
    EXPECT_EQ(CompilePattern(u"a{b}", CaseMode::kInsensitive, program), kPatternOk);
}

TEST(PatternCompilerTest, BoundsNestingInsteadOfOverflowingTheStack) {
    const auto nested = [](std::u16string open, std::u16string close, int depth) {
        std::u16string pattern;
        for (int i = 0; i < depth; ++i) {
            pattern += open;
        }
        pattern += u"a";
        for (int i = 0; i < depth; ++i) {
            pattern += close;
        }
        return pattern;
    };
    EXPECT_EQ(Compile(nested(u"(", u")", kMaxPatternNesting)), kPatternOk);
    EXPECT_EQ(Compile(nested(u"(", u")", kMaxPatternNesting + 1)), kPatternTooDeep);
    EXPECT_EQ(Compile(nested(u"{", u"}", 100000)), kPatternTooDeep);
    EXPECT_EQ(Compile(nested(u"!", u"", 100000)), kPatternTooDeep);
    EXPECT_EQ(Compile(nested(u"(", u")?", 100000)), kPatternTooDeep);
    // Nested "+" doubles the program at each level; the size bound stops it.
    EXPECT_EQ(Compile(nested(u"(", u")+", 60)), kPatternTooDeep);
}

TEST(PatternCompilerTest, LaysOutTheWholePattern) {
    PatternProgram program;
    ASSERT_EQ(CompilePattern(u"", CaseMode::kInsensitive, program), kPatternOk);
    EXPECT_EQ(program.code, (std::vector<PatternInstruction>{
                                {Op::kCall, 2}, {Op::kAdvanceStart, 0}, {Op::kMatch, 0}}));

    ASSERT_EQ(CompilePattern(u"^{A}$", CaseMode::kInsensitive, program), kPatternOk);
    EXPECT_EQ(program.code, (std::vector<PatternInstruction>{{Op::kCall, 2},
                                                             {Op::kAnchoredEnd, 0},
                                                             {Op::kPushGroup, 0},
                                                             {Op::kGroupStart, 0},
                                                             {Op::kCall, 7},
                                                             {Op::kPopGroup, 0},
                                                             {Op::kReturn, 0},
                                                             {Op::kChar, u'a'},
                                                             {Op::kGroupEnd, 0},
                                                             {Op::kChar, 0},
                                                             {Op::kMatch, 0}}));
    EXPECT_EQ(program.groupCount, 1);

    ASSERT_EQ(CompilePattern(u"A$b", CaseMode::kSensitive, program), kPatternOk);
    EXPECT_EQ(program.code[2], (PatternInstruction{Op::kChar, u'A'}));
    EXPECT_EQ(program.code[3], (PatternInstruction{Op::kChar, u'$'}));
}

TEST(PatternCompilerTest, RepetitionsKeepGroupNumbersAndOwnTheirSlots) {
    PatternProgram program;
    ASSERT_EQ(CompilePattern(u"{a}+{b}*?!c", CaseMode::kInsensitive, program), kPatternOk);
    EXPECT_EQ(program.groupCount, 2);
    // "+": the repeated copy's loop slot; "!": position and depth slots.
    EXPECT_EQ(program.slotCount, 3);
}

}  // namespace
}  // namespace kesto
