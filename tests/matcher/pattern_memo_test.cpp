// The memo never changes an answer.

#include "support/pattern_memo.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/pattern_compiler.h"
#include "support/pattern_machine.h"
#include "support/pattern_matcher.h"

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

}  // namespace
}  // namespace kesto
