#include "image/picture_size.h"

#include <memory>

#include "image/decode_picture.h"

namespace kesto {

PictureSize ReadPictureSize(const std::string& path) {
    const std::unique_ptr<Bitmap> picture = DecodePicture(path);
    if (!picture) {
        return {};
    }
    return {picture->Width(), picture->Height()};
}

}  // namespace kesto
