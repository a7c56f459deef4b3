#pragma once
// What a picture file says about itself before a pixel is decoded: the size its header declares.
// The core checks it before it hands a file to the graphics layer (image/decode_picture.h), so
// that a file of a few bytes declaring an enormous picture is refused instead of allocated, and a
// FIFO or device among the template's pictures is refused instead of blocking the decoder.

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace kesto {

struct DeclaredSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    bool operator==(const DeclaredSize&) const = default;
};

// The size the header of a JPEG, PNG, GIF, BMP or TIFF picture declares: for a GIF the largest
// extent of its logical screen and of every frame, since a decoder may allocate either. Nothing
// when the stream holds none of these formats or ends before the size.
std::optional<DeclaredSize> ReadDeclaredSize(std::istream& in);

// Whether a size is beyond the pixel count the graphics layer decodes (kMaxPicturePixels).
bool ExceedsPictureLimit(DeclaredSize size);

enum class PictureFileCheck {
    kAccepted,        // a regular file, within the limit or of a format not read here
    kNotRegularFile,  // missing, a folder, FIFO, device or socket
    kTooLarge,        // its header declares more than kMaxPicturePixels
};

// Whether a picture file may be handed to the graphics library. A file of a format
// ReadDeclaredSize does not read is accepted: the backend checks the size its library reads.
PictureFileCheck CheckPictureFile(const std::string& path);

// The words for a result other than kAccepted, for a failure reason ("is not a regular file").
const char* DescribePictureFileCheck(PictureFileCheck check);

}  // namespace kesto
