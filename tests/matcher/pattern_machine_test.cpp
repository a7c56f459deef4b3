#include "matcher/pattern_machine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "matcher/pattern_compiler.h"

namespace kesto {
namespace {

using Op = PatternOp;
using Span = std::pair<std::int32_t, std::int32_t>;

std::optional<Span> WholeMatch(std::u16string_view pattern, std::u16string_view input,
                               CaseMode mode = CaseMode::kInsensitive) {
    PatternProgram program;
    EXPECT_EQ(CompilePattern(pattern, mode, program), kPatternOk);
    MatchState state;
    if (!MatchPattern(program, input, state)) {
        return std::nullopt;
    }
    return Span{state.matchStart, state.matchEnd};
}

std::string Describe(std::u16string_view pattern, std::u16string_view input) {
    return std::string(pattern.begin(), pattern.end()) + " on " +
           std::string(input.begin(), input.end());
}

TEST(PatternMachineTest, FindsTheDefinedWholeMatch) {
    const struct {
        std::u16string_view pattern;
        std::u16string_view input;
        std::optional<Span> match;
    } cases[] = {
        // Alternatives are single factors.
        {u"ab|cd", u"abd", Span{0, 3}},
        {u"ab|cd", u"acd", Span{0, 3}},
        {u"ab|cd", u"ab", std::nullopt},
        {u"ab|cd", u"cd", std::nullopt},
        {u"(ab)|(cd)", u"xcd", Span{1, 3}},
        {u"a|b|c", u"c", Span{0, 1}},
        // Lazy and greedy gaps.
        {u"a.*?b", u"aXbYb", Span{0, 3}},
        {u"a.*b", u"aXbYb", Span{0, 5}},
        {u"a.+?b", u"abbb", Span{0, 3}},
        {u"a.??b", u"ab", Span{0, 2}},
        {u"a.?b", u"aXb", Span{0, 3}},
        {u"xa+", u"xaaa", Span{0, 4}},
        {u"xa+?", u"xaaa", Span{0, 2}},
        {u"a.*?bc", u"abbc", Span{0, 4}},  // the rest fails part-way; the gap resumes at "b"
        {u"x(ab)*?abc", u"xababc", Span{0, 6}},
        // Start positions run from 0 to length - 1.
        {u"$", u"", Span{0, 0}},
        {u"$", u"a", std::nullopt},
        {u"a$", u"a", Span{0, 1}},
        {u"a$", u"ab", std::nullopt},
        {u"a$b", u"a$b", Span{0, 3}},
        {u"", u"", Span{0, 0}},
        {u"", u"xyz", Span{0, 0}},
        {u"x*", u"", Span{0, 0}},
        {u"^b", u"ab", std::nullopt},
        {u"^a", u"ab", Span{0, 1}},
        {u"a^", u"a^", Span{0, 2}},
        {u"b", u"ab", Span{1, 2}},
        // A stray closing character ends the pattern.
        {u"abc)def", u"xabcx", Span{1, 4}},
        {u"abc]def", u"abc", Span{0, 3}},
        // Literals where an atom is expected.
        {u"*a", u"b*a", Span{1, 3}},
        {u"a|)", u")", Span{0, 1}},
        // Classes.
        {u"[a-c]+", u"xbcay", Span{1, 4}},
        {u"[^a-c]+", u"abxyc", Span{2, 4}},
        {u"[\\t]", u"a\tb", Span{1, 2}},
        {u"[^a]", u"a", std::nullopt},
        // Look-ahead and back-references.
        {u"a!b", u"abac", Span{2, 3}},
        {u"!a.", u"ab", Span{1, 2}},
        {u"{a+}b\\0", u"aabaa", Span{0, 5}},
        {u"{a+}b\\0", u"aaba", Span{1, 4}},
        {u"{x}\\0", u"xX", Span{0, 2}},          // case-insensitive comparison
        {u"({a}|b)c\\0", u"bcb", std::nullopt},  // the group is unset: nothing to repeat
        // Abbreviations.
        {u"\\d+", u"ab123c", Span{2, 5}},
        {u"\\h+", u"xyzBeEf0", Span{3, 8}},
        {u"\\b", u"a\tb", Span{1, 2}},
        {u"\\z", u"x42", Span{1, 3}},
        {u"\\a\\c", u"!1b", Span{1, 3}},
        {u"\\q", u"it's 'ok'", Span{2, 6}},
        {u"x\\n", u"x\r\n", Span{0, 2}},  // a carriage return alone comes first
        {u"x\\n$", u"x\r\n", Span{0, 3}},
        {u"\\k", u"k", Span{0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.pattern, c.input));
        EXPECT_EQ(WholeMatch(c.pattern, c.input), c.match);
    }
}

TEST(PatternMachineTest, CaseModes) {
    EXPECT_EQ(WholeMatch(u"x{B}", u"xb"), (Span{0, 2}));
    EXPECT_EQ(WholeMatch(u"x{B}", u"xB"), (Span{0, 2}));
    EXPECT_EQ(WholeMatch(u"x{B}", u"xb", CaseMode::kSensitive), std::nullopt);
    EXPECT_EQ(WholeMatch(u"[A-Z]", u"aB", CaseMode::kSensitive), (Span{1, 2}));
    // Abbreviations are not lower-cased; their upper-case ranges never meet the input.
    EXPECT_EQ(WholeMatch(u"\\c", u"Q"), (Span{0, 1}));
    EXPECT_EQ(WholeMatch(u"\\D", u"7"), (Span{0, 1}));  // lower-cased to \d
}

TEST(PatternMachineTest, GroupsKeepTheirLastSuccessfulSpan) {
    PatternProgram program;
    ASSERT_EQ(CompilePattern(u"({a}|{b})+x", CaseMode::kInsensitive, program), kPatternOk);
    MatchState state;
    ASSERT_TRUE(MatchPattern(program, u"abax", state));
    ASSERT_EQ(state.groups.size(), 2u);
    EXPECT_EQ(state.groups[0].start, 2);
    EXPECT_EQ(state.groups[0].end, 3);
    EXPECT_EQ(state.groups[1].start, 1);
    EXPECT_EQ(state.groups[1].end, 2);
}

// The faults a literal reading would have: each of these ran for ever, or reported a capture
// from outside the match.
TEST(PatternMachineTest, StaysSoundWhereALiteralReadingFails) {
    // An empty repetition after backtracking into an earlier one is still refused.
    EXPECT_EQ(WholeMatch(u"(a|!b)*d", u"ac"), std::nullopt);
    EXPECT_EQ(WholeMatch(u"(a|!b)*c", u"ac"), (Span{0, 2}));
    // A negative look-ahead whose atom matched leaves no capture behind.
    PatternProgram program;
    ASSERT_EQ(CompilePattern(u"!{a}.", CaseMode::kInsensitive, program), kPatternOk);
    MatchState state;
    ASSERT_TRUE(MatchPattern(program, u"ab", state));
    EXPECT_EQ(state.matchStart, 1);
    EXPECT_EQ(state.groups[0].start, kUnsetPosition);
    EXPECT_EQ(state.groups[0].end, kUnsetPosition);
}

TEST(PatternMachineTest, RefusesWhatItCannotRun) {
    MatchState state;
    PatternProgram failed;
    EXPECT_NE(CompilePattern(u"[]", CaseMode::kInsensitive, failed), kPatternOk);
    EXPECT_FALSE(MatchPattern(failed, u"x", state));

    const PatternProgram malformed[] = {
        {{}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        {{{Op::kJump, 5}, {Op::kMatch, 0}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        {{{Op::kGroupStart, 0}, {Op::kMatch, 0}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        {{{Op::kPushSlot, 1}, {Op::kMatch, 0}}, 0, 1, kPatternOk, CaseMode::kInsensitive},
        {{{Op::kClass, 2}, {Op::kNoOp, 0}, {Op::kMatch, 0}},
         0,
         0,
         kPatternOk,
         CaseMode::kInsensitive},
        {{{Op::kChar, u'a'}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        {{{static_cast<Op>(9), 0}, {Op::kMatch, 0}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        // Well-formed, but pops from an empty stack.
        {{{Op::kReturn, 0}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
        {{{Op::kPopPosition, 0}, {Op::kMatch, 0}}, 0, 0, kPatternOk, CaseMode::kInsensitive},
    };
    for (const PatternProgram& program : malformed) {
        EXPECT_FALSE(MatchPattern(program, u"a", state));
    }
}

}  // namespace
}  // namespace kesto
