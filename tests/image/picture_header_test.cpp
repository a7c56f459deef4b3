#include "image/picture_header.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "image/decode_picture.h"
#include "image/graphics_startup.h"
#include "image/picture_size.h"
#include "image/thumbnail.h"
#include "platform/graphics.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using namespace std::string_literals;

// 35 bytes: a GIF whose screen and only frame declare 65535 x 65535 pixels (17 GB decoded).
const std::string kHugeGif =
    "GIF89a\xFF\xFF\xFF\xFF\x80\x00\x00"s        // screen 65535 x 65535, a 2-colour table
    "\x00\x00\x00\xFF\xFF\xFF"s                  // the table
    "\x2C\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00"s  // one frame over all of it
    "\x02\x02\x44\x01\x00\x3B"s;                 // its data, the trailer

// A GIF whose screen is 10 x 10 but whose frame reaches 30000 x 30000.
const std::string kGifWithHugeFrame =
    "GIF89a\x0A\x00\x0A\x00\x00\x00\x00"s
    "\x21\xF9\x04\x00\x00\x00\x00\x00"s  // a graphic control extension
    "\x2C\x10\x00\x10\x00\x20\x75\x20\x75\x00\x02\x02\x44\x01\x00\x3B"s;

std::string Png(std::string_view width, std::string_view height) {
    return "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR"s + std::string(width) + std::string(height) +
           "\x08\x02\x00\x00\x00\x00\x00\x00\x00"s;
}

// A JPEG with a JFIF segment, fill bytes and a progressive frame header of 65535 x 65535.
const std::string kHugeJpeg =
    "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"s
    "\xFF\xFF\xC2\x00\x11\x08\xFF\xFF\xFF\xFF\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"s;

// A TIFF of either byte order whose first directory declares its size (and an entry before it).
std::string Tiff(bool bigEndian, std::uint16_t sizeType, std::uint32_t width,
                 std::uint32_t height) {
    const auto put = [bigEndian](std::string& bytes, std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            const int shift = 8 * (bigEndian ? count - 1 - i : i);
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    };
    std::string bytes = bigEndian ? "MM" : "II";
    put(bytes, 42, 2);
    put(bytes, 8, 4);  // the directory follows
    put(bytes, 3, 2);  // three entries
    for (const auto& [tag, value] : {std::pair{254u, 0u}, {256u, width}, {257u, height}}) {
        put(bytes, tag, 2);
        put(bytes, tag == 254 ? 4 : sizeType, 2);
        put(bytes, 1, 4);
        put(bytes, value, sizeType == 3 && tag != 254 ? 2 : 4);
        bytes.append(sizeType == 3 && tag != 254 ? 2 : 0, '\0');
    }
    put(bytes, 0, 4);
    return bytes;
}

// A lossless WebP declaring 16383 x 16383 pixels, a format only the library reads.
const std::string kHugeWebp =
    "RIFF\x1A\x00\x00\x00WEBPVP8L\x0E\x00\x00\x00\x2F\xFE\xBF\xFF\x0F"s + std::string(9, '\0');

std::string Bmp(std::string_view infoHeader) {
    return "BM\x00\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00"s + std::string(infoHeader);
}

TEST(PictureHeaderTest, ReadsTheDeclaredSizeOfEachFormat) {
    const struct {
        const char* name;
        std::string bytes;
        std::optional<DeclaredSize> size;
    } cases[] = {
        {"gif", kHugeGif, DeclaredSize{65535, 65535}},
        {"gif frame beyond its screen", kGifWithHugeFrame, DeclaredSize{30000, 30000}},
        {"png", Png("\x00\x00\x4E\x20"s, "\x00\x00\x00\x10"s), DeclaredSize{20000, 16}},
        {"jpeg", kHugeJpeg, DeclaredSize{65535, 65535}},
        {"bmp", Bmp("\x28\x00\x00\x00\xE0\x2E\x00\x00\x20\xD1\xFF\xFF"s),
         DeclaredSize{12000, 12000}},  // a negative height: rows top down
        {"bmp core header", Bmp("\x0C\x00\x00\x00\x64\x00\x32\x00\x01\x00\x18\x00"s),
         DeclaredSize{100, 50}},
        {"tiff", Tiff(false, 4, 20000, 10000), DeclaredSize{20000, 10000}},
        {"big-endian tiff", Tiff(true, 3, 30000, 40000), DeclaredSize{30000, 40000}},
        {"webp", kHugeWebp, std::nullopt},
        {"jpeg whose data starts before a frame", "\xFF\xD8\xFF\xDA\x00\x02"s, std::nullopt},
        {"png cut short", "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00"s, std::nullopt},
        {"text", "P5\n20000 20000\n255\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        EXPECT_EQ(ReadDeclaredSize(in), c.size) << c.name;
    }
}

TEST(PictureHeaderTest, LimitIsAHundredMillionPixels) {
    EXPECT_FALSE(ExceedsPictureLimit({10000, 10000}));
    EXPECT_TRUE(ExceedsPictureLimit({10000, 10001}));
    EXPECT_TRUE(ExceedsPictureLimit({4294967295u, 4294967295u}));  // no overflow
    EXPECT_FALSE(ExceedsPictureLimit({4294967295u, 0}));
}

TEST(PictureHeaderTest, PicturesDeclaringTooManyPixelsAreRefusedBeforeDecoding) {
    const GraphicsUser graphics;
    ASSERT_TRUE(graphics.Started());
    const testing::TempFolder folder;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"huge.gif", kHugeGif},
        {"frame.gif", kGifWithHugeFrame},
        {"huge.png", Png("\x00\x00\x4E\x20"s, "\x00\x00\x4E\x20"s)},
        {"huge.jpg", kHugeJpeg},
        {"huge.bmp", Bmp("\x28\x00\x00\x00\xE0\x2E\x00\x00\xE0\x2E\x00\x00\x01\x00\x18\x00"s)},
        {"huge.tif", Tiff(false, 4, 20000, 20000)},
        // A format the core does not read: the library's header is checked instead.
        {"huge.webp", kHugeWebp},
    };
    for (const auto& c : cases) {
        const std::string path = PathToUtf8(folder.Write(c.name, c.bytes));
        EXPECT_TRUE(DecodePicture(path) == nullptr) << c.name;
        EXPECT_EQ(ReadPictureSize(path), PictureSize{}) << c.name;
        EXPECT_EQ(MakeThumbnail(path, folder.Folder() + "thumbnail.jpg"), 0) << c.name;
    }
    EXPECT_EQ(CheckPictureFile(folder.Folder() + "huge.gif"), PictureFileCheck::kTooLarge);
    EXPECT_EQ(CheckPictureFile(folder.Folder()), PictureFileCheck::kNotRegularFile);
    EXPECT_EQ(CheckPictureFile(folder.Folder() + "huge.webp"), PictureFileCheck::kAccepted);
}

}  // namespace
}  // namespace kesto
