#include "job/main_page_text.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(MainPageTextTest, ClassifiesPicturesAndTheLastTextFile) {
    const MainFolderContent content = ClassifyMainFolder(
        {"a.jpg", "b.GIF", "c.png", "page.txt", ".hidden.jpg", "d.JPEG", "other.TXT", "jpg"});
    EXPECT_EQ(content.pictures, (std::vector<std::string>{"a.jpg", "b.GIF", "d.JPEG"}));
    EXPECT_EQ(content.contentFile, "other.TXT");
    EXPECT_EQ(ClassifyMainFolder({"a.jpg"}).contentFile, "");
}

TEST(MainPageTextTest, ReadsByteOrderMarkedFilesInTheirEncoding) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"plain <img src=\"1.jpg\">", "plain <img src=\"1.jpg\">"},
        {std::string("cut\0here", 8), "cut"},  // ANSI text ends at its first zero byte
        {"\xEF\xBB\xBF"
         "\xE5\xBA\x97 ok",
         "\xE5\xBA\x97 ok"},
        {std::string("\xFF\xFE"
                     "a\0\x97\x5E",
                     6),
         "a\xE5\xBA\x97"},                                         // UTF-16LE "a店"
        {std::string("\xFE\xFF\0a\x5E\x97", 6), "a\xE5\xBA\x97"},  // UTF-16BE "a店"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeContentFile(c.bytes), c.text);
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
