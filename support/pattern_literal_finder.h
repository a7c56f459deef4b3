#pragma once
// Finds a literal of a compiled pattern (a run of character instructions) in the input,
// case-folded the way the pattern machine compares characters. Used to skip start positions
// and lazy-gap positions where a pattern's literal cannot begin. Remembers its last answer, so
// repeated searches from positions that the last search already passed over cost nothing.

#include <array>
#include <cstdint>
#include <string_view>

#include "support/pattern_program.h"

namespace kesto {

class PatternLiteralFinder {
  public:
    static constexpr std::size_t kNone = std::u16string_view::npos;

    PatternLiteralFinder() {}  // finds the empty literal; leaves the shift table unset
    PatternLiteralFinder(const PatternLiteralFinder&) = delete;
    PatternLiteralFinder& operator=(const PatternLiteralFinder&) = delete;

    // Looks for `length` (at least 1) character instructions from `literal` on, which must
    // outlive the finder; their characters are already folded when foldCase is set.
    void Reset(const PatternInstruction* literal, std::size_t length, bool foldCase);

    // The first position at or after `from` where the literal starts in the input, or kNone.
    std::size_t FindFrom(std::u16string_view input, std::size_t from);

    std::size_t Length() const { return length_; }

  private:
    std::size_t Search(std::u16string_view input, std::size_t from) const;
    char16_t Fold(char16_t c) const {
        return foldCase_ && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    char16_t At(std::size_t i) const { return static_cast<char16_t>(literal_[i].operand); }

    const PatternInstruction* literal_ = nullptr;
    std::size_t length_ = 0;
    bool foldCase_ = false;
    std::array<std::uint8_t, 256> shift_;  // by the low byte of the unit under the last one
    bool cached_ = false;
    std::size_t cachedFrom_ = 0;
    std::size_t cachedFound_ = 0;
};

}  // namespace kesto
