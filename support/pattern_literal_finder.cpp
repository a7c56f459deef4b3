#include "support/pattern_literal_finder.h"

#include <algorithm>

namespace kesto {

void PatternLiteralFinder::Reset(const PatternInstruction* literal, std::size_t length,
                                 bool foldCase) {
    literal_ = literal;
    length_ = length;
    foldCase_ = foldCase;
    cached_ = false;
    // Shifts are capped at 255, and units sharing a low byte keep the smallest shift: a
    // shorter shift than possible is always safe.
    shift_.fill(static_cast<std::uint8_t>(std::min<std::size_t>(length_, 255)));
    for (std::size_t i = 0; i + 1 < length_; ++i) {
        shift_[At(i) & 0xFFu] =
            static_cast<std::uint8_t>(std::min<std::size_t>(length_ - 1 - i, 255));
    }
}

std::size_t PatternLiteralFinder::FindFrom(std::u16string_view input, std::size_t from) {
    const std::size_t end = input.size();
    if (cached_ && cachedFrom_ <= from && from <= (cachedFound_ == kNone ? end : cachedFound_)) {
        return cachedFound_;
    }
    cached_ = true;
    cachedFrom_ = from;
    cachedFound_ = Search(input, from);
    return cachedFound_;
}

// Horspool's search over code units.
std::size_t PatternLiteralFinder::Search(std::u16string_view input, std::size_t from) const {
    if (length_ == 0) {
        return from <= input.size() ? from : kNone;
    }
    const char16_t lastUnit = At(length_ - 1);
    std::size_t at = from;
    while (at < input.size() && input.size() - at >= length_) {
        const char16_t last = Fold(input[at + length_ - 1]);
        if (last == lastUnit) {
            std::size_t i = 0;
            while (i + 1 < length_ && Fold(input[at + i]) == At(i)) {
                ++i;
            }
            if (i + 1 == length_) {
                return at;
            }
        }
        at += shift_[last & 0xFFu];
    }
    return kNone;
}

}  // namespace kesto
