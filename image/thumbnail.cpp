#include "image/thumbnail.h"

#include <algorithm>
#include <cstdint>

#include "image/decode_picture.h"

namespace kesto {

PictureSize ThumbnailSize(PictureSize picture) {
    // 64-bit arithmetic: 60 times a side cannot overflow, whatever the picture's size.
    const std::int64_t width = picture.width;
    const std::int64_t height = picture.height;
    const std::int64_t scaledHeight = std::max<std::int64_t>(1, kThumbnailBox * height / width);
    const std::int64_t scaledWidth = std::max<std::int64_t>(1, kThumbnailBox * width / height);
    if (scaledHeight > kThumbnailBox) {
        return {static_cast<int>(scaledWidth), kThumbnailBox};  // taller than wide: below 60
    }
    return {kThumbnailBox, static_cast<int>(scaledHeight)};
}

std::unique_ptr<Bitmap> ScaleImage(const Bitmap& source, PictureSize size) {
    std::unique_ptr<Bitmap> scaled = CreateBitmap(size.width, size.height, TrueColourFormat());
    if (!scaled || !scaled->DrawStretched(source)) {
        return nullptr;
    }
    return scaled;
}

int MakeThumbnail(std::string_view source, std::string_view destination) {
    PictureSize ignored;
    return MakeThumbnail(source, destination, ignored);
}

int MakeThumbnail(std::string_view source, std::string_view destination, PictureSize& pictureSize) {
    pictureSize = {};
    if (source.empty() || destination.empty()) {
        return -1;
    }
    const std::unique_ptr<Bitmap> picture = DecodePicture(std::string(source));
    if (!picture) {
        return 0;
    }
    pictureSize = {picture->Width(), picture->Height()};
    if (pictureSize.width <= 0 || pictureSize.height <= 0) {
        return 0;
    }
    const std::unique_ptr<Bitmap> thumbnail = ScaleImage(*picture, ThumbnailSize(pictureSize));
    if (!thumbnail) {
        return 0;
    }
    return thumbnail->SaveJpeg(std::string(destination), kThumbnailQuality) ? 1 : 0;
}

}  // namespace kesto
