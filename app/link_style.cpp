#include "app/link_style.h"

#include <climits>

namespace kesto {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v';
}

// The usual decimal-to-integer reading; values past the int range saturate.
long long ReadDecimal(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value <= INT_MAX) {
            value = value * 10 + (text[at] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : value;
}

LinkColour LowByte(long long value) {
    return static_cast<LinkColour>(static_cast<unsigned long long>(value) & 0xFFu);
}

}  // namespace

std::optional<LinkColour> ParseLinkColour(std::string_view text) {
    const std::size_t firstComma = text.find(',');
    if (firstComma == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t secondComma = text.find(',', firstComma + 1);
    if (secondComma == std::string_view::npos || secondComma + 1 >= text.size()) {
        return std::nullopt;
    }
    const long long red = ReadDecimal(text.substr(0, firstComma));
    const long long green = ReadDecimal(text.substr(firstComma + 1, secondComma - firstComma - 1));
    const long long blue = ReadDecimal(text.substr(secondComma + 1));
    if (red == -1 || green == -1) {
        return std::nullopt;
    }
    return LowByte(red) | (LowByte(green) << 8) | (LowByte(blue) << 16);
}

LinkAlignment AlignmentOfStaticStyle(std::uint32_t style) {
    if ((style & 0x1u) != 0) {
        return LinkAlignment::Centre;
    }
    if ((style & 0x2u) != 0) {
        return LinkAlignment::Right;
    }
    return LinkAlignment::Left;
}

bool StaticPaintsLabel(std::uint32_t style) {
    const std::uint32_t kind = style & 0xFFu;
    return !((kind >= 3 && kind <= 9) || (kind >= 13 && kind <= 15));
}

LinkRect PlaceMeasuredText(const LinkRect& client, const LinkRect& measured,
                           LinkAlignment alignment) {
    const int freeWidth = client.Width() - measured.Width();
    int shift = 0;
    if (alignment == LinkAlignment::Centre) {
        shift = freeWidth / 2;
    } else if (alignment == LinkAlignment::Right) {
        shift = freeWidth;
    }
    return {measured.left + shift, measured.top, measured.right + shift, measured.bottom};
}

}  // namespace kesto
