#pragma once
// The small preview sent with every album picture: the picture scaled to fit a 60 x 60 box with
// its proportions kept, written as a JPEG of quality 80.

#include <memory>
#include <string>
#include <string_view>

#include "platform/graphics.h"

namespace kesto {

inline constexpr int kThumbnailBox = 60;
inline constexpr int kThumbnailQuality = 80;

struct PictureSize {
    int width = 0;
    int height = 0;

    bool operator==(const PictureSize&) const = default;
};

// The thumbnail's size for a picture of this size (both above 0): 60 on the side that needs the
// box's full length, the other side by integer division, at least 1. Pictures smaller than the
// box are enlarged the same way.
PictureSize ThumbnailSize(PictureSize picture);

// A new 24-bit RGB bitmap of the size with the source drawn over it with high-quality bicubic
// interpolation. Whatever the source's layout (palette indices, CMYK, 16 bits a channel, with or
// without alpha), the thumbnail is drawn in the one layout the library can always draw into and
// a JPEG always holds. Null when no bitmap can be made or nothing can be drawn.
std::unique_ptr<Bitmap> ScaleImage(const Bitmap& source, PictureSize size);

// Writes the thumbnail of the source picture to the destination path. -1 when a path is empty
// (nothing is read or written); 1 when the thumbnail was written; 0 on any other failure (an
// unreadable source leaves the destination as it was).
int MakeThumbnail(std::string_view source, std::string_view destination);

// The same, handing back in pictureSize the source's size in pixels as it was decoded for the
// thumbnail, which is what ReadPictureSize reads, so that a caller needing both decodes the
// picture once. Both 0 when nothing was decoded (a path empty, the source unreadable); a
// thumbnail that could not be drawn or written still hands back the size.
int MakeThumbnail(std::string_view source, std::string_view destination, PictureSize& pictureSize);

}  // namespace kesto
