#pragma once
// Whether a picture file holds its picture to the end. A picture cut short (an interrupted copy
// or download) still opens in most decoders, which paint what is missing grey: the marketplace
// would show it so. The template check refuses such a file before anything is sent.

#include <istream>
#include <string>

namespace kesto {

enum class PictureEnd {
    kWhole,     // the format's end was found: JPEG end-of-image, PNG IEND, GIF trailer
    kCutShort,  // the file ends inside the picture, or its structure breaks off
    kNotRead,   // a format this does not read (BMP, TIFF, ...), or no picture at all
};

// Walks a JPEG's segments and scans, a PNG's chunks or a GIF's blocks to the format's end; what
// follows the end is not looked at. Leniencies every decoder shares are kept: stray bytes
// between JPEG segments are passed over, and a GIF that ends after a whole frame without its
// trailer (or with padding instead) counts as whole. A JPEG without its end marker cannot be
// told from one cut short, and counts as cut short.
PictureEnd FindPictureEnd(std::istream& in);

// The same for a regular file (a FIFO would block it); kNotRead when it cannot be opened.
PictureEnd FindPictureEnd(const std::string& path);

}  // namespace kesto
