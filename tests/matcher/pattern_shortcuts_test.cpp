// The machine's shortcuts (literal searches, memoization) must never change a result: every
// run here is compared with a run that executes every instruction.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "matcher/pattern_compiler.h"
#include "matcher/pattern_machine.h"
#include "matcher/pattern_matcher.h"

namespace kesto {
namespace {

struct Outcome {
    bool matched = false;
    std::int32_t start = kUnsetPosition;
    std::int32_t end = kUnsetPosition;
    std::vector<std::pair<std::int32_t, std::int32_t>> groups;

    friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome RunMatch(const PatternProgram& program, std::u16string_view input, MatchOptions options) {
    MatchState state;
    Outcome outcome;
    outcome.matched = MatchPattern(program, input, state, options);
    if (outcome.matched) {
        outcome.start = state.matchStart;
        outcome.end = state.matchEnd;
        for (const GroupSpan& group : state.groups) {
            outcome.groups.emplace_back(group.start, group.end);
        }
    }
    return outcome;
}

// A random pattern over a small alphabet, so that patterns and inputs meet often.
std::u16string RandomPattern(std::mt19937& random, int depth = 0) {
    static const std::u16string_view atoms[] = {u"a",    u"b",   u"A",  u".",  u"[ab]",
                                                u"[^a]", u"\\d", u"!a", u"!b", u"c"};
    static const std::u16string_view quantifiers[] = {u"",  u"",   u"",   u"*", u"+",
                                                      u"?", u"*?", u"+?", u"??"};
    std::u16string pattern;
    const int factors = std::uniform_int_distribution<int>(1, 4)(random);
    int groups = 0;
    for (int i = 0; i < factors; ++i) {
        const int choice = std::uniform_int_distribution<int>(0, 9)(random);
        if (choice < 2 && depth < 3) {
            pattern += u"(" + RandomPattern(random, depth + 1) + u")";
        } else if (choice < 4 && depth < 3) {
            pattern += u"{" + RandomPattern(random, depth + 1) + u"}";
            ++groups;
        } else if (choice == 4 && groups > 0 && depth == 0) {
            pattern += u"\\0";
        } else {
            pattern += atoms[std::uniform_int_distribution<std::size_t>(0, 9)(random)];
        }
        pattern += quantifiers[std::uniform_int_distribution<std::size_t>(0, 8)(random)];
        if (std::uniform_int_distribution<int>(0, 5)(random) == 0) {
            pattern += u"|";
        }
    }
    return pattern;
}

std::u16string RandomInput(std::mt19937& random) {
    static const char16_t units[] = {u'a', u'b', u'B', u'c', u'1'};
    std::u16string input(std::uniform_int_distribution<std::size_t>(0, 12)(random), u'a');
    for (char16_t& unit : input) {
        unit = units[std::uniform_int_distribution<std::size_t>(0, 4)(random)];
    }
    return input;
}

TEST(PatternShortcutsTest, RandomPatternsMatchAsWithoutShortcuts) {
    std::mt19937 random(20261207);
    int compiled = 0;
    int matched = 0;
    for (int i = 0; i < 4000; ++i) {
        std::u16string pattern = RandomPattern(random);
        if (i % 7 == 0) {
            pattern = u"^" + pattern;
        } else if (i % 7 == 1) {
            pattern += u"$";
        }
        PatternProgram program;
        if (CompilePattern(pattern, CaseMode::kInsensitive, program) != kPatternOk) {
            continue;
        }
        ++compiled;
        for (int j = 0; j < 5; ++j) {
            const std::u16string input = RandomInput(random);
            const Outcome plain = RunMatch(program, input, {.useShortcuts = false});
            SCOPED_TRACE(std::string(pattern.begin(), pattern.end()) + " on " +
                         std::string(input.begin(), input.end()));
            EXPECT_EQ(RunMatch(program, input, {}), plain);
            EXPECT_EQ(RunMatch(program, input, {.useShortcuts = true, .memoizeFromStart = true}),
                      plain);
            matched += plain.matched ? 1 : 0;
        }
    }
    EXPECT_GT(compiled, 1500);
    EXPECT_GT(matched, 2000);
}

TEST(PatternShortcutsTest, GapsAndStartsSkipToTheirLiterals) {
    const struct {
        std::u16string_view pattern;
        std::u16string_view input;
    } cases[] = {
        {u"ab.*?abc", u"xxabababcab"}, {u"ab.*?abc", u"xxababab"}, {u"ab.*?ab.*?c", u"ABxxAByyC"},
        {u"aa.*?aab", u"aaaaaab"},  // overlapping literal occurrences
        {u"x.*?y.*?y", u"xyxyy"},      {u"x.*?$", u"xab"},         {u"{x.*?}y", u"xay"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        PatternProgram program;
        ASSERT_EQ(CompilePattern(c.pattern, CaseMode::kInsensitive, program), kPatternOk);
        const Outcome plain = RunMatch(program, c.input, {.useShortcuts = false});
        EXPECT_EQ(RunMatch(program, c.input, {}), plain);
        EXPECT_EQ(RunMatch(program, c.input, {.useShortcuts = true, .memoizeFromStart = true}),
                  plain);
    }
}

// A greedy repetition of one character test is taken in one go; backtracking then gives the
// units back one at a time, and the steps count what the repetitions would have run.
TEST(PatternShortcutsTest, RunsOfUnitsGiveBackAsStepByStep) {
    const struct {
        std::u16string_view pattern;
        std::u16string_view input;
    } cases[] = {
        {u"\\d+{\\d}", u"x12345y"}, {u"[a-c]*c{.}", u"abcabcx"}, {u".*{b}", u"aXbYb"},
        {u"{\\w}1", u"ab1"},        {u"[^a]*?a*a", u"bbaa"},     {u"(x|b+)*c", u"bbxbbc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        PatternProgram program;
        ASSERT_EQ(CompilePattern(c.pattern, CaseMode::kInsensitive, program), kPatternOk);
        MatchState plain;
        MatchState fast;
        const bool matched = MatchPattern(program, c.input, plain, {.useShortcuts = false});
        EXPECT_EQ(MatchPattern(program, c.input, fast), matched);
        EXPECT_EQ(fast.matchStart, plain.matchStart);
        EXPECT_EQ(fast.matchEnd, plain.matchEnd);
        ASSERT_EQ(fast.groups.size(), plain.groups.size());
        for (std::size_t g = 0; g < fast.groups.size(); ++g) {
            EXPECT_EQ(fast.groups[g].start, plain.groups[g].start);
            EXPECT_EQ(fast.groups[g].end, plain.groups[g].end);
        }
        EXPECT_EQ(fast.steps, plain.steps);
    }
}

// Inputs on which a plain backtracking run would take quadratic or exponential time. These
// finish only because of the shortcuts; a broken shortcut shows as a test that never ends.
TEST(PatternShortcutsTest, PathologicalInputsFinish) {
    std::u16string page;
    for (int i = 0; i < 20000; ++i) {
        page += u"{segsequence:\"0\",aid:\"0\",order:\"7\",mid:\"13\",fsid:\"100007\"},";
    }
    std::vector<std::u16string> captures;
    EXPECT_FALSE(FindCaptures(
        page, u"segsequence:\"0\",aid:\"0\",.*?,mid:\"9\",.*?,fsid:\"{\\d+}\"", captures));
    EXPECT_FALSE(FindCaptures(page, u"seg.*?sequence.*?,mid:\"9\"{}", captures));
    EXPECT_FALSE(FindCaptures(page, u"s(e|g|q|u|n|c)*?,mid:\"9\"{}", captures));

    const std::u16string as(3000, u'a');
    EXPECT_FALSE(FindCaptures(as, u"{(a|aa)*}c", captures));
    EXPECT_FALSE(FindCaptures(as, u"{((a|aa)+b?)*}c", captures));
    EXPECT_TRUE(FindCaptures(as + u"c", u"{(a|aa)*}c", captures));
    EXPECT_EQ(captures, std::vector<std::u16string>{as});

    // Back-references: the memo tells states apart by what the referenced groups hold.
    const std::u16string fewAs(300, u'a');
    EXPECT_FALSE(FindCaptures(fewAs, u"{a}((a|aa)+b?)*\\0c", captures));
    // Inside a look-ahead's atom.
    PatternProgram program;
    ASSERT_EQ(CompilePattern(u"!((a|aa)+c)a", CaseMode::kInsensitive, program), kPatternOk);
    EXPECT_EQ(RunMatch(program, as, {}).start, 0);
}

}  // namespace
}  // namespace kesto
