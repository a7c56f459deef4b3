// The libvips backend starts without the library's optional loader modules, and still reads the
// formats it read before and refuses those it refused.

#include <vips/vips.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "image/graphics_startup.h"
#include "platform/graphics.h"
#include "tests/common/temp_folder.h"
#include "tests/image/test_pictures.h"

namespace kesto {
namespace {

// A 1 x 1 BMP picture (24 bits, one white pixel), which only the ImageMagick module could read:
// its header fields (file size, pixel offset, info header size, width, height, planes, bits per
// pixel, ...) in order, little-endian.
std::string OnePixelBmp() {
    const std::pair<std::uint32_t, int> fields[] = {
        {58, 4}, {0, 4}, {54, 4},   {40, 4},   {1, 4}, {1, 4}, {1, 2},       {24, 2},
        {0, 4},  {4, 4}, {2835, 4}, {2835, 4}, {0, 4}, {0, 4}, {0xffffff, 4}};
    std::string bytes = "BM";
    for (const auto& [value, size] : fields) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    }
    return bytes;
}

class GraphicsVipsTest : public ::testing::Test {
  protected:
    const GraphicsUser graphics_;
    const ::kesto::testing::TempFolder folder_;
};

TEST_F(GraphicsVipsTest, NoLoaderModuleIsLoaded) {
    ASSERT_TRUE(graphics_.Started());
    for (const char* loader : {"heifload", "jxlload", "magickload", "openslideload", "pdfload"}) {
        EXPECT_EQ(vips_type_find("VipsOperation", loader), 0u) << loader;
    }
    std::ifstream maps("/proc/self/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)),
                             std::istreambuf_iterator<char>());
    EXPECT_EQ(mapped.find("vips-modules"), std::string::npos);
}

TEST_F(GraphicsVipsTest, ReadsTheFormatsItReadBeforeAndRefusesTheOthers) {
    ASSERT_TRUE(graphics_.Started());
    using ::kesto::testing::PictureType;
    const struct {
        const char* name;
        PictureType type;
    } written[] = {
        {"a.jpg", PictureType::Jpeg}, {"b.png", PictureType::Png}, {"c.gif", PictureType::Gif}};
    for (const auto& picture : written) {
        const std::string path = folder_.Folder() + picture.name;
        ASSERT_TRUE(
            ::kesto::testing::WriteTestPicture(path, picture.type, 8, 6, {255, 0, 0}, {0, 0, 255}));
        const auto decoded = DecodeBitmap(path);
        ASSERT_NE(decoded, nullptr) << picture.name;
        EXPECT_EQ(decoded->Width(), 8) << picture.name;
        EXPECT_EQ(decoded->Height(), 6) << picture.name;
    }
    // Refused before as unfit for untrusted files, now as unknown: BMP, even named as a JPEG.
    for (const char* name : {"d.bmp", "e.jpg"}) {
        const auto path = folder_.Write(name, OnePixelBmp());
        EXPECT_EQ(DecodeBitmap(path.string()), nullptr) << name;
    }
}

}  // namespace
}  // namespace kesto
