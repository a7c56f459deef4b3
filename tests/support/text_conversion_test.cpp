#include "support/text_conversion.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace kesto {
namespace {

// "中文" (Chinese) in UTF-8 and in code page 936.
const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";

TEST(CodePageTest, ConvertsChineseToAndFromGbk) {
    const struct {
        std::string utf8;
        std::string gbk;
    } cases[] = {
        {kChineseUtf8, kChineseGbk},
        {"abc " + kChineseUtf8 + " 123", "abc " + kChineseGbk + " 123"},
        // 装修完成。 ("decoration finished.")
        {"\xE8\xA3\x85\xE4\xBF\xAE\xE5\xAE\x8C\xE6\x88\x90\xE3\x80\x82",
         "\xD7\xB0\xD0\xDE\xCD\xEA\xB3\xC9\xA1\xA3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeText(c.utf8, CodePage::Gbk), c.gbk);
        EXPECT_EQ(DecodeText(c.gbk, CodePage::Gbk), c.utf8);
    }
}

TEST(CodePageTest, BytesThatAreNoTextBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    // An undefined lead byte, a lead byte before a space, a lead byte at the end.
    EXPECT_EQ(DecodeText("a\xFF" + kChineseGbk + "\x81 b\x81", CodePage::Gbk),
              "a" + replacement + kChineseUtf8 + replacement + " b" + replacement);
    EXPECT_EQ(DecodeText("a\xC4\xE3", CodePage::Utf8), "a" + replacement + replacement);
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks) {
    // A Thai letter has no place in code page 936.
    EXPECT_EQ(EncodeText("a\xE0\xB8\x81"
                         "b",
                         CodePage::Gbk),
              "a?b");
}

TEST(CodePageTest, Utf8PassesThrough) {
    EXPECT_EQ(EncodeText(kChineseUtf8, CodePage::Utf8), kChineseUtf8);
    EXPECT_EQ(DecodeText(kChineseUtf8, CodePage::Utf8), kChineseUtf8);
}

// A name the code page lacks a character of would arrive with '?' in its place; a question mark
// of the name's own is carried.
TEST(CodePageTest, TellsWhetherACodePageCarriesAText) {
    const std::string korean = "\xEC\x82\xAC\xEC\xA7\x84";  // 사진
    const std::string blossom = "\xF0\x9F\x8C\xB8";         // 🌸, beyond UTF-16's first plane
    const struct {
        std::string text;
        CodePage page;
        bool carried;
    } cases[] = {
        {"", CodePage::Gbk, true},
        {"top.jpg", CodePage::Gbk, true},
        {kChineseUtf8 + ".jpg", CodePage::Gbk, true},
        {"why?.jpg", CodePage::Gbk, true},
        {korean + ".jpg", CodePage::Gbk, false},
        {blossom + ".jpg", CodePage::Gbk, false},
        {kChineseUtf8 + "\xE0\xB8\x81.jpg", CodePage::Gbk, false},  // a Thai letter
        {korean + blossom + ".jpg", CodePage::Utf8, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodePageCarries(c.text, c.page), c.carried) << c.text;
    }
}

TEST(TextConversionTest, MarketplaceTextRoundTripsAndHandlesEmptyInput) {
    EXPECT_EQ(ToMarketplace(""), "");
    EXPECT_EQ(FromMarketplace(ToMarketplace(kChineseUtf8).c_str(),
                              static_cast<int>(ToMarketplace(kChineseUtf8).size())),
              kChineseUtf8);
    EXPECT_EQ(FromMarketplace(nullptr, 3), "");
    EXPECT_EQ(FromMarketplace("abc", 0), "");
    EXPECT_EQ(FromMarketplace("abcdef", 3), "abc");
}

TEST(TextConversionTest, AnsiRoundTripsAsciiAndHandlesEmptyInput) {
    EXPECT_EQ(ToAnsi(""), "");
    EXPECT_EQ(ToAnsi("HTTP error,statuscode=404"), "HTTP error,statuscode=404");
    EXPECT_EQ(FromAnsi("uin=o0010001"), "uin=o0010001");
    EXPECT_EQ(FromAnsi(nullptr), "");
    EXPECT_EQ(FromAnsi("abc", 0), "");
    EXPECT_EQ(FromAnsi("abc", -1), "");
    EXPECT_EQ(FromAnsi("abcdef", 3), "abc");
    // Exactly count bytes are converted, zero bytes included.
    EXPECT_EQ(FromAnsi("a\0b", 3), std::string("a\0b", 3));
}

TEST(TextConversionTest, Utf8LimitedKeepsUpTo1023BytesAndCutsAtCharacterBoundary) {
    const std::string threeByte = kChineseUtf8.substr(0, 3);
    std::string exact;
    for (int i = 0; i < 341; ++i) {
        exact += threeByte;  // 1,023 bytes
    }
    EXPECT_EQ(ToUtf8Limited(exact), exact);

    const std::string tooLong = "a" + exact;  // 1,024 bytes: the last character no longer fits
    const std::string limited = ToUtf8Limited(tooLong);
    EXPECT_EQ(limited.size(), 1021u);
    EXPECT_EQ(limited, tooLong.substr(0, 1021));

    EXPECT_EQ(ToUtf8Limited(std::string(5000, 'x')), std::string(1023, 'x'));
    EXPECT_EQ(ToUtf8Limited(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(ToUtf8Limited(""), "");
}

}  // namespace
}  // namespace kesto
