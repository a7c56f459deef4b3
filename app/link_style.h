#pragma once
// The link control's pure rules: the browser's link colours as the registry writes them, which
// static-control kinds draw their own text, and where the drawn text (the only clickable area)
// lies within the control.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kesto {

// A colour as red + green * 256 + blue * 65536, 8 bits each.
using LinkColour = std::uint32_t;

inline constexpr LinkColour kDefaultLinkColour = 0xFF0000;     // blue 255
inline constexpr LinkColour kDefaultVisitedColour = 0x800080;  // red 128, blue 128

// The colour of a registry text "red,green,blue": split at the first two commas, each part read
// as a decimal integer (leading blanks, an optional sign, then digits; anything else ends the
// number) and cut to its low 8 bits. Nothing for fewer than two commas, nothing after the
// second comma, or a red or green part reading -1.
std::optional<LinkColour> ParseLinkColour(std::string_view text);

// How a static control aligns its text, from its style bits.
enum class LinkAlignment { Left, Centre, Right };
LinkAlignment AlignmentOfStaticStyle(std::uint32_t style);

// False for the static kinds that show no text of their own (icon, rectangles, frames,
// owner-drawn, bitmap, metafile): the system keeps painting those.
bool StaticPaintsLabel(std::uint32_t style);

// The notify style a static control needs to report clicks.
inline constexpr std::uint32_t kStaticNotifyStyle = 0x100;

struct LinkRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const LinkRect&) const = default;
};

// The link rectangle of text measured from the client rectangle's top left corner: moved right
// by half the free width when centred, by all of it when right-aligned.
LinkRect PlaceMeasuredText(const LinkRect& client, const LinkRect& measured,
                           LinkAlignment alignment);

}  // namespace kesto
