#pragma once
// Decoding a picture file through the graphics layer, after the checks the layer asks of its
// caller: a regular file (a FIFO or device would block the decoder) whose header, where the core
// reads it (image/picture_header.h), declares no more than kMaxPicturePixels.

#include <memory>
#include <string>

#include "platform/graphics.h"

namespace kesto {

// The decoded picture; null when the file fails the checks or the graphics layer cannot decode it.
std::unique_ptr<Bitmap> DecodePicture(const std::string& path);

}  // namespace kesto
