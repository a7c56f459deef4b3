#include "support/utf16.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(Utf16Test, ConvertsBothWaysIncludingSurrogatePairs) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(Utf16Length(c.utf8), c.utf16.size());
    }
}

TEST(Utf16Test, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD\uFFFD");            // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Utf16Test, CutsOnlyAtCharacterBoundaries) {
    const std::string text =
        "a\xE4\xB8\xAD"
        "b";  // a, one three-byte character, b
    EXPECT_EQ(CutUtf8(text, 10), text);
    EXPECT_EQ(CutUtf8(text, 4), "a\xE4\xB8\xAD");
    EXPECT_EQ(CutUtf8(text, 3), "a");
    EXPECT_EQ(CutUtf8(text, 1), "a");
    EXPECT_EQ(CutUtf8(text, 0), "");
}

}  // namespace
}  // namespace kesto
