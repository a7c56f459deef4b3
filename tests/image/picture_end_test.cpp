// A picture file cut short is told from a whole one, whatever follows a picture's end.

#include "image/picture_end.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kesto {
namespace {

using namespace std::string_literals;

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PictureEnd EndOf(const std::string& bytes) {
    std::istringstream in(bytes);
    return FindPictureEnd(in);
}

TEST(PictureEndTest, CutShortPicturesAreToldFromWholeOnes) {
    const std::filesystem::path samples = std::filesystem::path(KESTO_SOURCE_DIR) / "template";
    for (const std::filesystem::path& file :
         {samples / "ocean-blue/main/top.jpg", samples / "ocean-blue/head/sign.gif",
          samples / "spring-garden/head/sign.jpg",
          std::filesystem::path(KESTO_TEST_PICTURES) / "rgba-16-bit.png",
          std::filesystem::path(KESTO_TEST_PICTURES) / "cmyk-8-bit.jpg"}) {
        const std::string whole = Bytes(file);
        ASSERT_GT(whole.size(), 100u) << file;
        EXPECT_EQ(EndOf(whole), PictureEnd::kWhole) << file;
        // What follows the end (a phone's appended data) does not matter.
        EXPECT_EQ(EndOf(whole + "appended\xFF\xD8"s), PictureEnd::kWhole) << file;
        for (const std::size_t kept : {whole.size() / 2, whole.size() * 9 / 10}) {
            EXPECT_EQ(EndOf(whole.substr(0, kept)), PictureEnd::kCutShort) << file << " " << kept;
        }
    }
    // Only the end marker missing.
    const std::string jpeg = Bytes(samples / "ocean-blue/main/top.jpg");
    EXPECT_EQ(EndOf(jpeg.substr(0, jpeg.size() - 1)), PictureEnd::kCutShort);
    EXPECT_EQ(EndOf(jpeg.substr(0, jpeg.size() - 2)), PictureEnd::kCutShort);
}

TEST(PictureEndTest, EdgesOfTheFormats) {
    const std::string gif =
        "GIF89a\x01\x00\x01\x00\x00\x00\x00"s
        "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00"s;
    const struct {
        const char* name;
        std::string bytes;
        PictureEnd end;
    } cases[] = {
        {"a GIF with its trailer", gif + "\x3B", PictureEnd::kWhole},
        {"a GIF whose last frame is whole but has no trailer", gif, PictureEnd::kWhole},
        {"a GIF padded with zeros instead of its trailer", gif + "\0\0\0"s, PictureEnd::kWhole},
        {"a GIF cut inside its frame", gif.substr(0, gif.size() - 2), PictureEnd::kCutShort},
        {"a GIF of no frame, cut after its screen", gif.substr(0, 13), PictureEnd::kCutShort},
        {"a JPEG whose scan holds stuffed bytes and restart markers",
         "\xFF\xD8\xFF\xDA\x00\x02\x12\xFF\x00\x34\xFF\xD0\x56\xFF\xFF\xD9"s, PictureEnd::kWhole},
        {"a JPEG with stray bytes after a segment",
         "\xFF\xD8\xFF\xE0\x00\x04JF\x00\x00\xFF\xDA\x00\x02\x12\xFF\xD9"s, PictureEnd::kWhole},
        {"a JPEG with stray bytes and then nothing", "\xFF\xD8\xFF\xE0\x00\x04JF\x00\x00"s,
         PictureEnd::kCutShort},
        {"a JPEG whose scan never ends", "\xFF\xD8\xFF\xDA\x00\x02\x12\xFF\x00\x34"s,
         PictureEnd::kCutShort},
        {"a JPEG whose segment runs past the end", "\xFF\xD8\xFF\xE0\x40\x00JFIF"s,
         PictureEnd::kCutShort},
        {"a PNG whose chunk runs past the end", "\x89PNG\r\n\x1A\n\x00\x00\x10\x00IDATxx"s,
         PictureEnd::kCutShort},
        {"a BMP", "BM\x10\x00\x00\x00"s, PictureEnd::kNotRead},
        {"text", "not a picture", PictureEnd::kNotRead},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EndOf(c.bytes), c.end) << c.name;
    }
}

}  // namespace
}  // namespace kesto
