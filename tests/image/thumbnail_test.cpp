#include "image/thumbnail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "image/graphics_startup.h"
#include "image/picture_size.h"
#include "tests/common/temp_folder.h"
#include "tests/image/test_pictures.h"

namespace kesto {
namespace {

using testing::Colour;
using testing::PictureType;

TEST(ThumbnailSizeTest, FitsTheBoxKeepingProportions) {
    struct Case {
        PictureSize picture;
        PictureSize thumbnail;
    };
    const Case cases[] = {
        {{800, 600}, {60, 45}},   {{600, 800}, {45, 60}},     {{500, 500}, {60, 60}},
        {{1000, 10}, {60, 1}},    {{10, 1000}, {1, 60}},      {{30, 20}, {60, 40}},
        {{100, 101}, {60, 60}},   {{101, 100}, {60, 59}},     {{59, 60}, {59, 60}},
        {{1, 1}, {60, 60}},       {{100000, 1}, {60, 1}},     {{1, 100000}, {1, 60}},
        {{4000, 3000}, {60, 45}}, {{2147483647, 2}, {60, 1}}, {{3, 2147483647}, {1, 60}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ThumbnailSize(c.picture), c.thumbnail)
            << c.picture.width << " x " << c.picture.height;
    }
}

class ThumbnailTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(graphics.Started()); }

    std::string Path(const char* name) const { return folder.Folder() + name; }

    std::string Picture(const char* name, PictureType type, int width, int height) const {
        const std::string path = Path(name);
        EXPECT_TRUE(
            testing::WriteTestPicture(path, type, width, height, {230, 20, 20}, {20, 20, 230}))
            << name;
        return path;
    }

    GraphicsUser graphics;
    ::kesto::testing::TempFolder folder;
};

bool IsJpeg(const std::string& bytes) {
    return bytes.size() > 4 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0 &&
           bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
}

TEST_F(ThumbnailTest, WritesAJpegOfTheThumbnailSizeWhateverTheSource) {
    struct Case {
        const char* name;
        PictureType type;
        PictureSize picture;
        PictureSize thumbnail;
    };
    const Case cases[] = {
        {"wide.jpg", PictureType::Jpeg, {800, 600}, {60, 45}},
        {"tall.png", PictureType::Png, {600, 800}, {45, 60}},
        {"square.gif", PictureType::Gif, {500, 500}, {60, 60}},
        {"strip.png", PictureType::Png, {1000, 10}, {60, 1}},
        {"column.jpg", PictureType::Jpeg, {10, 1000}, {1, 60}},
        {"small.gif", PictureType::Gif, {30, 20}, {60, 40}},
        {"almost square.jpg", PictureType::Jpeg, {100, 101}, {60, 60}},
        {"big.jpg", PictureType::Jpeg, {2400, 1800}, {60, 45}},  // decoded shrunk
        {"\xE4\xB8\xAD\xE6\x96\x87.png", PictureType::Png, {90, 30}, {60, 20}},
        {"scan [shrink=8].jpg", PictureType::Jpeg, {64, 48}, {60, 45}},  // a name, not options
    };
    for (const auto& c : cases) {
        const std::string source = Picture(c.name, c.type, c.picture.width, c.picture.height);
        const std::string destination = Path("thumbnail.tmp");
        EXPECT_EQ(MakeThumbnail(source, destination), 1) << c.name;
        EXPECT_TRUE(IsJpeg(testing::ReadFile(PathFromUtf8(destination)))) << c.name;
        EXPECT_EQ(ReadPictureSize(destination), c.thumbnail) << c.name;
        // The picture's size as the thumbnail decoded it, for the upload to send.
        PictureSize decoded;
        EXPECT_EQ(MakeThumbnail(source, Path("sized.tmp"), decoded), 1) << c.name;
        EXPECT_EQ(decoded, c.picture) << c.name;
    }
}

TEST_F(ThumbnailTest, AnIndexedColourSourceGivesAThumbnailShowingThePicture) {
    const std::string source = Picture("halves.gif", PictureType::Gif, 200, 100);
    const std::unique_ptr<Bitmap> decoded = DecodeBitmap(source);
    ASSERT_NE(decoded, nullptr);
    ASSERT_TRUE(decoded->Format().indexed);
    const std::string destination = Path("thumbnail.jpg");
    ASSERT_EQ(MakeThumbnail(source, destination), 1);

    const auto near = [](Colour actual, Colour expected) {
        return std::abs(actual.red - expected.red) < 50 &&
               std::abs(actual.green - expected.green) < 50 &&
               std::abs(actual.blue - expected.blue) < 50;
    };
    const Colour left = testing::ReadPixel(destination, 8, 15);
    const Colour right = testing::ReadPixel(destination, 52, 15);
    EXPECT_TRUE(near(left, {230, 20, 20})) << left.red << " " << left.green << " " << left.blue;
    EXPECT_TRUE(near(right, {20, 20, 230})) << right.red << " " << right.green << " " << right.blue;
}

// Pictures in layouts the library cannot draw into (CMYK, 16 bits a channel, with and without
// alpha, grey): the thumbnail is drawn into 24-bit RGB and still shows the picture, left half
// unlike right half. Colour management may move a CMYK colour, so only which channel leads is
// compared.
TEST_F(ThumbnailTest, PicturesInAnyLayoutGiveAThumbnailShowingThePicture) {
    const auto reddish = [](Colour c) { return c.red > c.blue + 60; };
    const auto bluish = [](Colour c) { return c.blue > c.red + 60; };
    const auto light = [](Colour c) { return c.red > 150 && c.green > 150 && c.blue > 150; };
    const auto dark = [](Colour c) { return c.red < 90 && c.green < 90 && c.blue < 90; };
    struct Case {
        const char* name;
        PictureSize thumbnail;
        std::function<bool(Colour)> left;
        std::function<bool(Colour)> right;
    };
    const Case cases[] = {
        {"cmyk-8-bit.jpg", {60, 45}, reddish, bluish},
        {"rgb-16-bit.png", {60, 20}, reddish, bluish},
        {"rgba-16-bit.png", {60, 20}, reddish, bluish},
        {"grey-16-bit.png", {60, 20}, light, dark},
    };
    for (const auto& c : cases) {
        const std::string source = std::string(KESTO_TEST_PICTURES) + c.name;
        const std::unique_ptr<Bitmap> decoded = DecodeBitmap(source);
        ASSERT_NE(decoded, nullptr) << c.name;
        const std::unique_ptr<Bitmap> scaled = ScaleImage(*decoded, c.thumbnail);
        ASSERT_NE(scaled, nullptr) << c.name;
        EXPECT_EQ(scaled->Format().code, TrueColourFormat().code) << c.name;
        const std::string destination = Path("thumbnail.jpg");
        ASSERT_EQ(MakeThumbnail(source, destination), 1) << c.name;
        EXPECT_TRUE(IsJpeg(testing::ReadFile(PathFromUtf8(destination)))) << c.name;
        EXPECT_EQ(ReadPictureSize(destination), c.thumbnail) << c.name;
        const Colour left = testing::ReadPixel(destination, 8, c.thumbnail.height / 2);
        const Colour right = testing::ReadPixel(destination, 52, c.thumbnail.height / 2);
        EXPECT_TRUE(c.left(left)) << c.name << " left " << left.red << " " << left.green << " "
                                  << left.blue;
        EXPECT_TRUE(c.right(right))
            << c.name << " right " << right.red << " " << right.green << " " << right.blue;
    }
}

// The luminance quantisation table of a JPEG file, in the order stored.
std::vector<int> LuminanceTable(const std::string& jpeg) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(jpeg[i]); };
        if (byte(at) != 0xFF) {
            break;
        }
        const int marker = byte(at + 1);
        const std::size_t length = static_cast<std::size_t>(byte(at + 2) << 8 | byte(at + 3));
        if (marker == 0xDB) {
            for (std::size_t table = at + 4; table + 65 <= at + 2 + length; table += 65) {
                if (byte(table) == 0) {  // 8-bit values, table 0
                    std::vector<int> values;
                    for (std::size_t i = 1; i <= 64; ++i) {
                        values.push_back(byte(table + i));
                    }
                    return values;
                }
            }
        }
        at += 2 + length;
    }
    return {};
}

TEST_F(ThumbnailTest, EncodesWithQuality80) {
    if (testing::RunningUnderWine()) {
        GTEST_SKIP() << "Wine's graphics library ignores the JPEG quality";
    }
    const std::string source = Picture("picture.png", PictureType::Png, 120, 90);
    const std::string destination = Path("thumbnail.jpg");
    ASSERT_EQ(MakeThumbnail(source, destination), 1);

    // The standard luminance table, scaled for quality 80: (value * 40 + 50) / 100.
    const int standard[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                              58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                              22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                              77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                              103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
    std::vector<int> expected;
    for (const int value : standard) {
        expected.push_back(std::max(1, (value * 40 + 50) / 100));
    }
    std::vector<int> table = LuminanceTable(testing::ReadFile(PathFromUtf8(destination)));
    ASSERT_EQ(table.size(), 64u);
    EXPECT_EQ(table[0], 6);  // the DC entry comes first in either order
    std::sort(table.begin(), table.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(table, expected);
}

TEST_F(ThumbnailTest, AnEmptyPathReadsAndWritesNothing) {
    const std::string source = Picture("picture.jpg", PictureType::Jpeg, 80, 60);
    const std::string destination = Path("kept.tmp");
    folder.Write("kept.tmp", "untouched");
    EXPECT_EQ(MakeThumbnail(source, ""), -1);
    EXPECT_EQ(MakeThumbnail("", destination), -1);
    EXPECT_EQ(MakeThumbnail("", ""), -1);
    EXPECT_EQ(testing::ReadFile(PathFromUtf8(destination)), "untouched");
}

TEST_F(ThumbnailTest, AnUnreadableSourceFailsAndLeavesTheDestinationAsItWas) {
    const std::string notAPicture = folder.Write("notes.jpg", "plain text, not a picture").string();
    const std::string empty = folder.Write("empty.png").string();
    const std::string truncatedHeader = folder.Write("cut.gif", "GIF89a\x10").string();
    folder.Write("a folder.jpg/inside.txt", "x");
    const std::string sources[] = {notAPicture, empty, truncatedHeader, Path("missing.jpg"),
                                   Path("a folder.jpg")};
    const std::string destination = Path("fresh.tmp");
    for (const auto& source : sources) {
        folder.Write("fresh.tmp");  // the caller's empty temporary file
        EXPECT_EQ(MakeThumbnail(source, destination), 0) << source;
        EXPECT_EQ(testing::ReadFile(PathFromUtf8(destination)), "") << source;
        EXPECT_EQ(ReadPictureSize(source), PictureSize{}) << source;
        PictureSize decoded{1, 1};
        EXPECT_EQ(MakeThumbnail(source, destination, decoded), 0) << source;
        EXPECT_EQ(decoded, PictureSize{}) << source;
    }
}

TEST_F(ThumbnailTest, AnUnwritableDestinationFails) {
    const std::string source = Picture("picture.png", PictureType::Png, 80, 60);
    EXPECT_EQ(MakeThumbnail(source, Path("no such folder/thumbnail.jpg")), 0);
    // The picture was read all the same: its size comes back.
    PictureSize decoded;
    EXPECT_EQ(MakeThumbnail(source, Path("no such folder/thumbnail.jpg"), decoded), 0);
    EXPECT_EQ(decoded, (PictureSize{80, 60}));
    EXPECT_EQ(MakeThumbnail(source, "", decoded), -1);
    EXPECT_EQ(decoded, PictureSize{});
}

}  // namespace
}  // namespace kesto
