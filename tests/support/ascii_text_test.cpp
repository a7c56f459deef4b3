#include "support/ascii_text.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(AsciiTextTest, DigitsAreOneOrMoreOfZeroToNine) {
    const struct {
        std::string_view text;
        bool digits;
    } cases[] = {
        {"0", true},   {"0123456789", true}, {"", false},   {" 1", false},
        {"1 ", false}, {"-1", false},        {"1a", false}, {"\xEF\xBC\x91", false},  // fullwidth 1
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAsciiDigits(c.text), c.digits) << c.text;
    }
}

TEST(AsciiTextTest, TrimTakesOnlyTheGivenBlanksOffBothEnds) {
    const struct {
        std::string_view text;
        std::string_view blanks;
        std::string_view trimmed;
    } cases[] = {
        {" \ta b\t ", " \t", "a b"},
        {" \t \t", " \t", ""},
        {"", " \t", ""},
        {"\r\na\r\n", " \t", "\r\na\r\n"},  // line ends are not blanks unless given
        {"\r\n a \v\f", " \t\n\v\f\r", "a"},
        {"\xE3\x80\x80x", " \t", "\xE3\x80\x80x"},  // the ideographic space is not ASCII
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimmedAscii(c.text, c.blanks), c.trimmed) << c.text;
    }
    EXPECT_EQ(TrimmedAscii("  a\t"), "a");
}

}  // namespace
}  // namespace kesto
