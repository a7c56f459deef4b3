#pragma once
// A picture file's size in pixels, as the album's upload form reports it.

#include <string>

#include "image/thumbnail.h"

namespace kesto {

// Width and height of the picture; both 0 when the file cannot be read as a picture.
PictureSize ReadPictureSize(const std::string& path);

}  // namespace kesto
