#include "support/printable_text.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(PrintableTextTest, EscapesWhatATerminalWouldActOn) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Hats.jpg", "Hats.jpg"},
        {"连衣裙-长款.jpg", "连衣裙-长款.jpg"},  // characters of other scripts stay
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"red\x1b[31m.jpg", "red\\x1b[31m.jpg"},
        {"two\nlines\r\tx", "two\\nlines\\r\\tx"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"del\x7f", "del\\x7f"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\u009b2J"},  // C1 as a character
        {"\xC2\x80\xC2\x9F\xC2\xA0", "\\u0080\\u009f\xC2\xA0"},
        {"raw\x9B"
         "2J",
         "raw\\x9b2J"},                       // a byte that is no UTF-8
        {"\xC3", "\\xc3"},                    // a character cut short
        {"\xC0\xAF", "\\xc0\\xaf"},           // an overlong form
        {"\xED\xA0\x80", "\\xed\\xa0\\x80"},  // a surrogate
        {"back\\slash", "back\\slash"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.text), c.shown) << c.shown;
    }
}

}  // namespace
}  // namespace kesto
