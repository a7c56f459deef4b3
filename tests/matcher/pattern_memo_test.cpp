// The memo never changes an answer, and keeps runs short also where its table of bits would be
// too large.

#include "matcher/pattern_memo.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "matcher/pattern_compiler.h"
#include "matcher/pattern_machine.h"
#include "matcher/pattern_matcher.h"
#include "matcher/pattern_state_table.h"

namespace kesto {
namespace {

struct Outcome {
    bool matched = false;
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;  // the match, then each group

    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend void PrintTo(const Outcome& outcome, std::ostream* out) {
        *out << (outcome.matched ? "match" : "no match");
        for (const auto& [start, end] : outcome.spans) {
            *out << " [" << start << ", " << end << ")";
        }
    }
};

Outcome RunMatch(const PatternProgram& program, std::u16string_view input, MatchOptions options) {
    MatchState state;
    Outcome outcome;
    outcome.matched = MatchPattern(program, input, state, options);
    if (outcome.matched) {
        outcome.spans.emplace_back(state.matchStart, state.matchEnd);
        for (const GroupSpan& group : state.groups) {
            outcome.spans.emplace_back(group.start, group.end);
        }
    }
    return outcome;
}

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// A back-reference inside its own group reads the group's end, which a failed path inside the
// group leaves set. Skipping such a path by the memo would change what the back-reference sees.
TEST(PatternMemoTest, BackReferencesIntoOpenGroupsAnswerAsWithoutShortcuts) {
    for (const std::size_t prefix : {std::size_t{100}, std::size_t{1000}}) {
        const std::u16string input = std::u16string(prefix, u'z') + u"- \naE. _b";
        SCOPED_TRACE(prefix);
        std::vector<std::u16string> captures;
        EXPECT_FALSE(FindCaptures(input, u"{.( |a|\\0).}+$", captures));
        EXPECT_TRUE(captures.empty());
    }
    // Found by random patterns; each gave another answer with the memo.
    const struct {
        std::u16string_view pattern;
        std::u16string_view input;
    } cases[] = {
        {u"{.( |a|\\0).}+$", u"- \naE. _b"},
        {u"{ ?|(( )*?(\\0?[ab])?{\\0?a*\\0+}+)+}|\\0+a$", u"a aa a"},
        {u"{.+?|\\0+.+}+?\\0+? *?|", u"aba   ab"},
        {u".*?{{[ab]|(.|\\0)+a}}*?\\0", u"b baaa a"},
        {u"{a+|\\0+.+?}*?{{\\0}.*?|.*?}+b*|$", u"ab aaa"},
        {u"[ab]*{.?(\\0*{\\0}*.*?)?}?(.+\\1+b?)", u"a   b ba"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.pattern) + " on " + Narrow(c.input));
        PatternProgram program;
        ASSERT_EQ(CompilePattern(c.pattern, CaseMode::kInsensitive, program), kPatternOk);
        const Outcome plain = RunMatch(program, c.input, {.useShortcuts = false});
        EXPECT_EQ(RunMatch(program, c.input, {.useShortcuts = true, .memoizeFromStart = true}),
                  plain);
        EXPECT_EQ(RunMatch(program, c.input, {}), plain);
    }
}

// Random patterns with back-references anywhere after their group opens, also inside it.
std::u16string RandomPattern(std::mt19937& random, int depth, int& groups) {
    static const std::u16string_view atoms[] = {u"a", u"b", u".", u"[ab]", u" ", u"!a"};
    static const std::u16string_view quantifiers[] = {u"", u"", u"*", u"+", u"?", u"*?", u"+?"};
    const auto pick = [&](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    std::u16string pattern;
    for (int factors = 1 + pick(4); factors > 0; --factors) {
        const int choice = pick(10);
        if (choice < 2 && depth < 3) {
            pattern += u"(" + RandomPattern(random, depth + 1, groups) + u")";
        } else if (choice < 4 && depth < 3) {
            ++groups;
            pattern += u"{" + RandomPattern(random, depth + 1, groups) + u"}";
        } else if (choice < 6 && groups > 0) {
            pattern += u"\\" + std::u16string(1, static_cast<char16_t>(u'0' + pick(groups)));
        } else {
            pattern += atoms[static_cast<std::size_t>(pick(6))];
        }
        pattern += quantifiers[static_cast<std::size_t>(pick(7))];
        if (pick(5) == 0) {
            pattern += u"|";
        }
    }
    return pattern;
}

TEST(PatternMemoTest, RandomBackReferencesAnswerAsWithoutShortcuts) {
    std::mt19937 random(20261208);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        int groups = 0;
        std::u16string pattern = RandomPattern(random, 0, groups);
        pattern += i % 2 == 0 ? u"$" : u"";
        PatternProgram program;
        if (CompilePattern(pattern, CaseMode::kInsensitive, program) != kPatternOk) {
            continue;
        }
        for (int j = 0; j < 4; ++j) {
            std::u16string input(std::uniform_int_distribution<std::size_t>(0, 9)(random), u' ');
            for (char16_t& unit : input) {
                unit = u"ab  "[std::uniform_int_distribution<std::size_t>(0, 3)(random)];
            }
            SCOPED_TRACE(Narrow(pattern) + " on " + Narrow(input));
            EXPECT_EQ(RunMatch(program, input, {.useShortcuts = true, .memoizeFromStart = true}),
                      RunMatch(program, input, {.useShortcuts = false}));
            ++compared;
        }
    }
    EXPECT_GT(compared, 4000);
}

// Where one bit per (memo point, position) would pass the memo's size cap, the memo keeps its
// states in a bounded table instead of giving up: without it, every start position would scan
// the rest of the input again, and the steps would grow with the square of its length.
TEST(PatternMemoTest, StaysLinearPastTheTableOfBits) {
    const std::u16string input(20000, u'a');
    std::u16string pattern = u"[a-w]*x";
    // Memo points after the "x", never reached, enough to pass the cap.
    for (std::size_t i = PatternMemo::kMaxMemoBits / (input.size() + 1); i > 0; --i) {
        pattern += u"b??";
    }
    PatternProgram program;
    ASSERT_EQ(CompilePattern(pattern, CaseMode::kInsensitive, program), kPatternOk);
    MatchState state;
    EXPECT_FALSE(MatchPattern(program, input, state));
    EXPECT_LT(state.steps, 100 * input.size());
}

TEST(PatternStateTableTest, NeverReportsAStateItWasNotGivenAndStaysBounded) {
    PatternStateTable table(2, 64 << 10);  // 64 KiB: a few thousand states
    constexpr std::int32_t kStates = 100000;
    for (std::int32_t i = 0; i < kStates; ++i) {
        const std::int32_t state[2] = {i % 7, i};
        EXPECT_FALSE(table.TestAndAdd(state));  // never given before
        EXPECT_TRUE(table.TestAndAdd(state));   // the newest state stays
    }
    int remembered = 0;
    for (std::int32_t i = kStates; i-- > 0;) {  // the newest first
        const std::int32_t state[2] = {i % 7, i};
        remembered += table.TestAndAdd(state) ? 1 : 0;
    }
    EXPECT_GT(remembered, 1000);
    EXPECT_LT(remembered, kStates / 10);

    const std::int32_t removed[2] = {7, 7};
    EXPECT_FALSE(table.TestAndAdd(removed));
    table.Remove(removed);
    EXPECT_FALSE(table.TestAndAdd(removed));
}

}  // namespace
}  // namespace kesto
