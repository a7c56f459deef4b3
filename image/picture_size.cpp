#include "image/picture_size.h"

#include <memory>

#include "image/decode_picture.h"

namespace kesto {

namespace {

PictureSize SizeOf(const std::unique_ptr<Bitmap>& picture) {
    if (!picture) {
        return {};
    }
    return {picture->Width(), picture->Height()};
}

}  // namespace

PictureSize ReadPictureSize(const std::string& path) {
    return SizeOf(DecodePicture(path));
}

PictureSize ReadCheckedPictureSize(const std::string& path) {
    return SizeOf(DecodeBitmap(path));
}

}  // namespace kesto
