#include "job/main_page_text.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(MainPageTextTest, ReadsByteOrderMarkedFilesInTheirEncoding) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"plain <img src=\"1.jpg\">", "plain <img src=\"1.jpg\">"},
        {"\xEF\xBB\xBF"
         "\xE5\xBA\x97 ok",
         "\xE5\xBA\x97 ok"},
        {std::string("\xFF\xFE"
                     "a\0\x97\x5E",
                     6),
         "a\xE5\xBA\x97"},                                                 // UTF-16LE "a店"
        {std::string("\xFE\xFF\0a\x5E\x97", 6), "a\xE5\xBA\x97"},          // UTF-16BE "a店"
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},  // a surrogate pair
    };
    for (const auto& c : cases) {
        const DecodedPageText decoded = DecodeContentFile(c.bytes);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(decoded.flaw, "");
    }
}

// Where a decoded text would lack part of the file, the text is not given at all.
TEST(MainPageTextTest, RefusesBytesThatAreNotWholeText) {
    const struct {
        std::string bytes;
        const char* flaw;
    } cases[] = {
        {std::string("<\0p\0>\0", 6), "zero byte"},  // UTF-16LE without byte-order mark
        {std::string("cut\0here", 8), "zero byte"},
        {std::string("\xFF\xFE<\0p", 5), "odd number"},
        {std::string("\xFE\xFF\0<\0", 5), "odd number"},
        {std::string("\xFF\xFE\x3D\xD8", 4), "surrogate"},         // high half at the end
        {std::string("\xFF\xFE\x3D\xD8<\0", 6), "surrogate"},      // high half, then "<"
        {std::string("\xFE\xFF\xDE\x00\0<", 6), "surrogate"},      // low half alone
        {std::string("\xFF\xFE<\0\0\0>\0", 8), "zero character"},  // U+0000
        {std::string("\xEF\xBB\xBF<\0>", 6), "zero character"},
    };
    for (const auto& c : cases) {
        const DecodedPageText decoded = DecodeContentFile(c.bytes);
        EXPECT_NE(decoded.flaw.find(c.flaw), std::string::npos) << c.flaw << ": " << decoded.flaw;
        EXPECT_EQ(decoded.text, "");
    }
}

TEST(MainPageTextTest, LongestUploadedNameWinsAtEachPosition) {
    const UploadedPictures uploaded{
        {"1.jpg", "http://album.kesto.example/p/1.jpg"},
        {"11.jpg", "http://album.kesto.example/p/11.jpg"},
    };
    EXPECT_EQ(FillMainPageText("<img src=11.jpg><img src=1.jpg>", uploaded, "10001"),
              "<img src=http://album.kesto.example/p/11.jpg>"
              "<img src=http://album.kesto.example/p/1.jpg>");
}

TEST(MainPageTextTest, ReplacedTextIsNotScannedAgain) {
    const UploadedPictures uploaded{{"a.jpg", "b.jpg"}, {"b.jpg", "X"}};
    EXPECT_EQ(FillMainPageText("a.jpg b.jpg", uploaded, "1"), "b.jpg X");
}

TEST(MainPageTextTest, FillsShopMarkers) {
    EXPECT_EQ(FillMainPageText("<a href=\"{店铺URL}\">{店铺ID}</a>{店铺ID}", {}, "10001"),
              "<a href=\"http://shop.kesto.example/10001\">10001</a>10001");
}

}  // namespace
}  // namespace kesto
