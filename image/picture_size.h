#pragma once
// A picture file's size in pixels, as the album's upload form reports it.

#include <string>

#include "image/thumbnail.h"

namespace kesto {

// Width and height of the picture; both 0 when the file cannot be read as a picture.
PictureSize ReadPictureSize(const std::string& path);
// The same for a file that has just passed CheckPictureFile (image/picture_header.h): the file
// and its header are not looked at a second time before it is decoded.
PictureSize ReadCheckedPictureSize(const std::string& path);

}  // namespace kesto
