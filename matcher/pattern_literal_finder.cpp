#include "matcher/pattern_literal_finder.h"

#include <algorithm>

namespace kesto {
namespace {

// A unit and, for a letter when case folds, its upper-case form.
struct Cases {
    char16_t units[2];
    std::size_t count;
};

Cases CasesOf(char16_t unit, bool foldCase) {
    if (foldCase && unit >= u'a' && unit <= u'z') {
        return {{unit, static_cast<char16_t>(unit - (u'a' - u'A'))}, 2};
    }
    return {{unit, unit}, 1};
}

}  // namespace

PatternLiteralFinder::PatternLiteralFinder(const PatternInstruction* literal, std::size_t length,
                                           bool foldCase)
    : foldCase_(foldCase) {
    literal_.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        literal_.push_back(static_cast<char16_t>(literal[i].operand));
    }
    if (length == 0) {
        return;
    }
    // Horspool's shifts, by the low byte of the input unit under the literal's last one (read
    // before folding, so a letter counts in both its cases). Units that share a low byte keep
    // the smallest shift: a shorter shift than possible is always safe. Shifts are capped at 255.
    shift_.fill(static_cast<std::uint8_t>(std::min<std::size_t>(length, 255)));
    const auto lower = [&](char16_t unit, std::size_t by) {
        const Cases cases = CasesOf(unit, foldCase_);
        for (std::size_t i = 0; i < cases.count; ++i) {
            std::uint8_t& entry = shift_[cases.units[i] & 0xFFu];
            entry = std::min(entry, static_cast<std::uint8_t>(std::min<std::size_t>(by, 255)));
        }
    };
    for (std::size_t i = 0; i + 1 < length; ++i) {
        lower(literal_[i], length - 1 - i);
    }
    // Where the last unit may line up, the entry is 0: compare there. After comparing, shift by
    // the smallest of what the entries that become 0 held.
    const Cases last = CasesOf(literal_[length - 1], foldCase_);
    lastShift_ = static_cast<std::uint8_t>(std::min<std::size_t>(length, 255));
    for (std::size_t i = 0; i < last.count; ++i) {
        lastShift_ = std::min(lastShift_, shift_[last.units[i] & 0xFFu]);
    }
    lower(literal_[length - 1], 0);
}

std::size_t PatternLiteralFinder::Search(std::u16string_view input, std::size_t from) const {
    const std::size_t length = literal_.size();
    if (from > input.size() || input.size() - from < length) {
        return length == 0 && from <= input.size() ? from : kNone;
    }
    if (length == 0) {
        return from;
    }
    // Skip by the table until a unit that may be the last one lines up, then compare.
    const char16_t* const text = input.data();
    const std::size_t lastStart = input.size() - length;
    std::size_t at = from;
    while (at <= lastStart) {
        const std::uint8_t skip = shift_[text[at + length - 1] & 0xFFu];
        if (skip != 0) {
            at += skip;
            continue;
        }
        if (MatchesAt(text + at)) {
            return at;
        }
        at += lastShift_;
    }
    return kNone;
}

bool PatternLiteralFinder::MatchesAt(const char16_t* text) const {
    for (std::size_t i = literal_.size(); i-- > 0;) {
        if (Fold(text[i]) != literal_[i]) {
            return false;
        }
    }
    return true;
}

std::size_t PatternLiteralSearch::FindFrom(std::u16string_view input, std::size_t from) {
    const std::size_t end = input.size();
    const std::size_t found = cachedFound_ == PatternLiteralFinder::kNone ? end : cachedFound_;
    if (cached_ && cachedFrom_ <= from && from <= found) {
        return cachedFound_;
    }
    cached_ = true;
    cachedFrom_ = from;
    cachedFound_ = finder_->Search(input, from);
    return cachedFound_;
}

}  // namespace kesto
