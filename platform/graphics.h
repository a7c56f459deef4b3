#pragma once
// The graphics layer: the few operations on pictures the program needs, shaped after the
// platform's graphics library. Backends beside this file: win32/graphics_gdiplus.cpp (GDI+),
// posix/graphics_vips.cpp (libvips).
//
// Contract
// - Every operation needs the library running (StartGraphicsLibrary, see
//   image/graphics_startup.h); bitmaps may be used from any one thread at a time.
// - Blocking: only on the local files it reads and writes.
// - Limits: a decoded bitmap is held whole in memory (width x height x 4 bytes or so). So a
//   picture is decoded only from a regular file (a FIFO or device would block the decoder) whose
//   header declares at most kMaxPicturePixels, checked before a pixel is decoded: the core checks
//   the file and the JPEG, PNG, GIF, BMP and TIFF headers it reads before it calls DecodeBitmap
//   (image/decode_picture.h); the backend checks the size its library reads, which covers the
//   other formats, as the library decodes lazily.
// - Errors: null or false, with no error number; callers report which file failed.

#include <cstdint>
#include <memory>
#include <string>

namespace kesto {

// A bitmap's pixel layout as the library names it; the core looks only at whether the pixels
// are palette indices.
struct PixelFormat {
    std::int32_t code = 0;
    bool indexed = false;
};

// 24-bit RGB, the layout every thumbnail is drawn into: the library can draw into it from any
// source layout, and a JPEG holds it as it is.
PixelFormat TrueColourFormat();

class Bitmap {
  public:
    virtual ~Bitmap() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual PixelFormat Format() const = 0;

    // Draws the whole source stretched over the whole of this bitmap with high-quality bicubic
    // interpolation. False when the library cannot draw on this bitmap.
    virtual bool DrawStretched(const Bitmap& source) = 0;

    // Writes the bitmap as a JPEG file of the given quality (0 to 100), creating or overwriting
    // the file. False when nothing usable was written.
    virtual bool SaveJpeg(const std::string& path, int quality) const = 0;
};

// The most pixels a picture may declare: 100 megapixels (400 MB decoded), far beyond any shop
// picture, far below what would exhaust the machine.
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;

// Whether a picture of the size is beyond kMaxPicturePixels (no overflow for any 32-bit sizes).
constexpr bool ExceedsPixelLimit(std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{width} * height > static_cast<std::uint64_t>(kMaxPicturePixels);
}

// Decodes a picture file (JPEG, PNG, GIF and what else the library reads) that the caller has
// found to be a regular file of no more than kMaxPicturePixels where the core reads its header;
// null when the file cannot be read, is not a picture or the library reads a size beyond
// kMaxPicturePixels.
std::unique_ptr<Bitmap> DecodeBitmap(const std::string& path);

// A new bitmap of the size and layout, its pixels black; null when it cannot be made.
std::unique_ptr<Bitmap> CreateBitmap(int width, int height, PixelFormat format);

// The running library: started when made, shut down when destroyed.
class GraphicsLibrary {
  public:
    virtual ~GraphicsLibrary() = default;
};

// Starts the library; null when it cannot start.
std::unique_ptr<GraphicsLibrary> StartGraphicsLibrary();

}  // namespace kesto
