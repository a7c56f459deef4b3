#include "app/link_style.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

struct ColourCase {
    const char* text;
    std::optional<LinkColour> colour;
};

constexpr LinkColour Rgb(unsigned red, unsigned green, unsigned blue) {
    return red | (green << 8) | (blue << 16);
}

TEST(ParseLinkColourTest, ReadsThreeDecimalPartsOrIgnoresTheValue) {
    const ColourCase cases[] = {
        {"0,128,255", Rgb(0, 128, 255)},
        {"128,0,128", Rgb(128, 0, 128)},
        {" 12, 34, 56", Rgb(12, 34, 56)},  // leading blanks before each number
        {"12x,34y,56z", Rgb(12, 34, 56)},  // a number ends at its first non-digit
        {"300,256,-2", Rgb(44, 0, 254)},   // each part cut to its low 8 bits
        {"1,2,-1", Rgb(1, 2, 255)},        // -1 is refused only in red and green
        {"a,b,c", Rgb(0, 0, 0)},           // no digits read as 0
        {"1,2,3,4", Rgb(1, 2, 3)},         // the third part ends at nothing but the text
        {"+7,8,9", Rgb(7, 8, 9)},
        {"99999999999,0,0", Rgb(255, 0, 0)},  // saturates at the int range, whose low byte is 255
        {"12,34", std::nullopt},              // one comma
        {"1,2,", std::nullopt},               // nothing after the second comma
        {"", std::nullopt},
        {"-1,2,3", std::nullopt},
        {"1,-1,3", std::nullopt},
        {" -1,2,3", std::nullopt},  // still reads -1
    };
    for (const ColourCase& c : cases) {
        EXPECT_EQ(ParseLinkColour(c.text), c.colour) << c.text;
    }
}

TEST(StaticStyleTest, AlignmentComesFromTheLowStyleBits) {
    EXPECT_EQ(AlignmentOfStaticStyle(0x0), LinkAlignment::Left);
    EXPECT_EQ(AlignmentOfStaticStyle(0x1), LinkAlignment::Centre);
    EXPECT_EQ(AlignmentOfStaticStyle(0x2), LinkAlignment::Right);
    EXPECT_EQ(AlignmentOfStaticStyle(0x20000 | 0x100), LinkAlignment::Left);  // group, notify
}

TEST(StaticStyleTest, OnlyTextKindsPaintTheirLabel) {
    for (std::uint32_t kind = 0; kind <= 0x1F; ++kind) {
        const bool noText = (kind >= 3 && kind <= 9) || (kind >= 13 && kind <= 15);
        EXPECT_EQ(StaticPaintsLabel(kind | 0x50000000u), !noText) << kind;
    }
}

TEST(PlaceMeasuredTextTest, ShiftsTheMeasuredTextByTheFreeWidth) {
    const LinkRect client{0, 0, 300, 20};
    const LinkRect measured{0, 0, 100, 13};
    EXPECT_EQ(PlaceMeasuredText(client, measured, LinkAlignment::Left), (LinkRect{0, 0, 100, 13}));
    EXPECT_EQ(PlaceMeasuredText(client, measured, LinkAlignment::Centre),
              (LinkRect{100, 0, 200, 13}));
    EXPECT_EQ(PlaceMeasuredText(client, measured, LinkAlignment::Right),
              (LinkRect{200, 0, 300, 13}));
    // Text as wide as the control stays where it was measured.
    EXPECT_EQ(PlaceMeasuredText(client, {0, 0, 300, 26}, LinkAlignment::Right),
              (LinkRect{0, 0, 300, 26}));
}

TEST(LinkRectTest, OnlyTheTextRectangleIsClickable) {
    const LinkRect link{100, 0, 200, 13};
    EXPECT_TRUE(link.Contains(100, 0));
    EXPECT_TRUE(link.Contains(199, 12));
    EXPECT_FALSE(link.Contains(200, 5));  // right and bottom edges are outside
    EXPECT_FALSE(link.Contains(150, 13));
    EXPECT_FALSE(link.Contains(50, 5));  // the empty area beside the text
}

}  // namespace
}  // namespace kesto
