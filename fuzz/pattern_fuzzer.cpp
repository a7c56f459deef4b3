// Fuzzes the pattern compiler and machine: any pattern, any input. Besides crashes, leaks and
// undefined behaviour, it stops on a result that depends on the machine's shortcuts.
//
// Input layout: the bytes up to the first 0xFF are the pattern, the rest the input; each byte
// is one code unit, and 0xFE followed by a byte gives a unit above 0xFF.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "matcher/pattern_compiler.h"
#include "matcher/pattern_machine.h"
#include "matcher/pattern_matcher.h"

namespace {

// Longest pattern and input tried: a backtracking run may take exponential time on patterns
// with back-references, which the memo does not always bound (see pattern_memo.h).
constexpr std::size_t kMaxUnits = 64;
// Inputs short enough to run every instruction without shortcuts as a reference.
constexpr std::size_t kMaxPlainUnits = 10;

std::u16string Units(const std::uint8_t* bytes, std::size_t size) {
    std::u16string units;
    for (std::size_t i = 0; i < size && units.size() < kMaxUnits; ++i) {
        if (bytes[i] == 0xFE && i + 1 < size) {
            units.push_back(static_cast<char16_t>(0x4E00 + bytes[++i]));
        } else {
            units.push_back(static_cast<char16_t>(bytes[i]));
        }
    }
    return units;
}

struct Outcome {
    bool matched = false;
    std::int32_t start = -1;
    std::int32_t end = -1;
    std::vector<std::pair<std::int32_t, std::int32_t>> groups;

    bool operator==(const Outcome&) const = default;
};

Outcome Run(const kesto::PatternProgram& program, std::u16string_view input,
            kesto::MatchOptions options) {
    kesto::MatchState state;
    Outcome outcome;
    outcome.matched = kesto::MatchPattern(program, input, state, options);
    if (outcome.matched) {
        outcome.start = state.matchStart;
        outcome.end = state.matchEnd;
        for (const kesto::GroupSpan& group : state.groups) {
            outcome.groups.emplace_back(group.start, group.end);
        }
        if (outcome.start < 0 || outcome.end < outcome.start ||
            static_cast<std::size_t>(outcome.end) > input.size()) {
            std::fprintf(stderr, "match span out of the input\n");
            std::abort();
        }
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t split = 0;
    while (split < size && data[split] != 0xFF) {
        ++split;
    }
    const std::u16string pattern = Units(data, split);
    const std::u16string input =
        split < size ? Units(data + split + 1, size - split - 1) : std::u16string();

    for (const kesto::CaseMode mode :
         {kesto::CaseMode::kInsensitive, kesto::CaseMode::kSensitive}) {
        kesto::PatternProgram program;
        if (kesto::CompilePattern(pattern, mode, program) != kesto::kPatternOk) {
            continue;
        }
        const Outcome fast = Run(program, input, {});
        const Outcome memoized =
            Run(program, input, {.useShortcuts = true, .memoizeFromStart = true});
        const bool plainDiffers =
            input.size() <= kMaxPlainUnits && Run(program, input, {.useShortcuts = false}) != fast;
        if (!(fast == memoized) || plainDiffers) {
            std::fprintf(stderr, "the shortcuts changed the result\n");
            std::abort();
        }
    }
    std::vector<std::u16string> captures;
    kesto::FindCaptures(input, pattern, captures);
    return 0;
}
