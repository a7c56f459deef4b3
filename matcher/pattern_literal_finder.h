#pragma once
// Finds a literal of a compiled pattern (a run of character instructions) in the input,
// case-folded the way the pattern machine compares characters. Used to skip start positions
// and lazy-gap positions where a pattern's literal cannot begin.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "matcher/pattern_program.h"

namespace kesto {

// The literal and its shift table; never changes once built, so runs on several threads may
// share it.
class PatternLiteralFinder {
  public:
    static constexpr std::size_t kNone = std::u16string_view::npos;

    // Looks for the `length` (at least 1) character instructions from `literal` on; their
    // characters are already folded when foldCase is set.
    PatternLiteralFinder(const PatternInstruction* literal, std::size_t length, bool foldCase);

    // The first position at or after `from` where the literal starts in the input, or kNone.
    std::size_t Search(std::u16string_view input, std::size_t from) const;

    std::size_t Length() const { return literal_.size(); }

  private:
    bool MatchesAt(const char16_t* text) const;
    char16_t Fold(char16_t c) const {
        return foldCase_ && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }

    std::u16string literal_;
    bool foldCase_ = false;
    std::array<std::uint8_t, 256> shift_{};  // by the low byte of the unit under the last one
    std::uint8_t lastShift_ = 1;
};

// One run's searches with a finder. Remembers its last answer, so repeated searches from
// positions that the last search already passed over cost nothing.
class PatternLiteralSearch {
  public:
    PatternLiteralSearch() = default;  // searches nothing until a finder is assigned
    explicit PatternLiteralSearch(const PatternLiteralFinder& finder) : finder_(&finder) {}

    std::size_t FindFrom(std::u16string_view input, std::size_t from);
    std::size_t Length() const { return finder_->Length(); }

  private:
    const PatternLiteralFinder* finder_ = nullptr;
    bool cached_ = false;
    std::size_t cachedFrom_ = 0;
    std::size_t cachedFound_ = 0;
};

}  // namespace kesto
