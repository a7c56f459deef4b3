#include "image/picture_size.h"

#include <memory>

#include "platform/graphics.h"

namespace kesto {

PictureSize ReadPictureSize(const std::string& path) {
    const std::unique_ptr<Bitmap> picture = DecodeBitmap(path);
    if (!picture) {
        return {};
    }
    return {picture->Width(), picture->Height()};
}

}  // namespace kesto
