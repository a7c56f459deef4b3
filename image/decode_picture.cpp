#include "image/decode_picture.h"

#include "image/picture_header.h"

namespace kesto {

std::unique_ptr<Bitmap> DecodePicture(const std::string& path) {
    if (CheckPictureFile(path) != PictureFileCheck::kAccepted) {
        return nullptr;
    }
    return DecodeBitmap(path);
}

}  // namespace kesto
