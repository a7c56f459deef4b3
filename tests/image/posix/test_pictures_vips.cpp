// Test pictures through libvips.

#include <vips/vips.h>

#include <memory>
#include <vector>

#include "tests/image/test_pictures.h"

namespace kesto::testing {
namespace {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using ImagePtr = std::unique_ptr<VipsImage, GObjectUnref>;

}  // namespace

bool WriteTestPicture(const std::string& path, PictureType type, int width, int height, Colour left,
                      Colour right) {
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour& colour = x < width / 2 ? left : right;
            for (const int value : {colour.red, colour.green, colour.blue}) {
                pixels.push_back(static_cast<unsigned char>(value));
            }
        }
    }
    const ImagePtr image(vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width,
                                                         height, 3, VIPS_FORMAT_UCHAR));
    if (!image) {
        return false;
    }
    switch (type) {
        case PictureType::Jpeg:
            return vips_jpegsave(image.get(), path.c_str(), nullptr) == 0;
        case PictureType::Png:
            return vips_pngsave(image.get(), path.c_str(), nullptr) == 0;
        case PictureType::Gif:
            return vips_gifsave(image.get(), path.c_str(), nullptr) == 0;
    }
    return false;
}

Colour ReadPixel(const std::string& path, int x, int y) {
    const ImagePtr image(vips_image_new_from_file(path.c_str(), nullptr));
    double* values = nullptr;
    int count = 0;
    if (!image || vips_getpoint(image.get(), &values, &count, x, y, nullptr) != 0) {
        return {-1, -1, -1};
    }
    const std::unique_ptr<double, decltype(&g_free)> owned(values, g_free);
    if (count < 3) {
        return {-1, -1, -1};
    }
    return {static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2])};
}

bool RunningUnderWine() {
    return false;
}

}  // namespace kesto::testing
