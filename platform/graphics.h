#pragma once
// The graphics layer: the few operations on pictures the program needs, shaped after the
// platform's graphics library. Backends beside this file: win32/graphics_gdiplus.cpp (GDI+),
// posix/graphics_vips.cpp (libvips).
//
// Contract
// - Every operation needs the library running (StartGraphicsLibrary, see
//   image/graphics_startup.h); bitmaps may be used from any one thread at a time.
// - Blocking: only on the local files it reads and writes.
// - Limits: a decoded bitmap is held whole in memory (width x height x 4 bytes or so). So
//   DecodeBitmap decodes only regular files (a FIFO or device would block it) and refuses a
//   picture whose header declares more than kMaxPicturePixels, before a pixel is decoded: JPEG,
//   PNG, GIF, BMP and TIFF headers are read by the core (image/picture_header.h), other formats' by
//   the library, which decodes lazily.
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

// Decodes a picture file (JPEG, PNG, GIF and what else the library reads); null when the file
// cannot be read, is not a regular file, is not a picture or declares more than
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
