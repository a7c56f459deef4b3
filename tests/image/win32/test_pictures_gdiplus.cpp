// Test pictures through GDI+.

// In this order: GDI+ needs the COM declarations that the lean windows.h leaves out.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/image/test_pictures.h"

namespace kesto::testing {
namespace {

namespace gdip = Gdiplus::DllExports;

struct ImageDispose {
    void operator()(Gdiplus::GpImage* image) const { gdip::GdipDisposeImage(image); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::GpBitmap, ImageDispose>;

bool FindEncoder(const wchar_t* mimeType, CLSID& classId) {
    UINT count = 0;
    UINT size = 0;
    if (gdip::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return false;
    }
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gdip::GdipGetImageEncoders(count, size, encoders) != Gdiplus::Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
            classId = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

const wchar_t* MimeType(PictureType type) {
    switch (type) {
        case PictureType::Jpeg:
            return L"image/jpeg";
        case PictureType::Png:
            return L"image/png";
        case PictureType::Gif:
            return L"image/gif";
    }
    return L"";
}

// A bitmap over the caller's pixels: 32-bit rows (blue, green, red, alpha in memory), or for a
// GIF 8-bit palette indices (0 left, 1 right), since Wine's GIF encoder writes no frame from a
// true-colour bitmap.
BitmapPtr NewBitmap(std::vector<unsigned char>& pixels, PictureType type, int width, int height,
                    Colour left, Colour right) {
    const bool indexed = type == PictureType::Gif;
    // Rows of a bitmap start at multiples of 4 bytes.
    const int stride = indexed ? (width + 3) / 4 * 4 : width * 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool isLeft = x < width / 2;
            const Colour& colour = isLeft ? left : right;
            if (indexed) {
                pixels.push_back(isLeft ? 0 : 1);
            } else {
                for (const int value : {colour.blue, colour.green, colour.red, 255}) {
                    pixels.push_back(static_cast<unsigned char>(value));
                }
            }
        }
        if (indexed) {
            pixels.resize(pixels.size() + static_cast<std::size_t>(stride - width));
        }
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(width, height, stride,
                                        indexed ? PixelFormat8bppIndexed : PixelFormat32bppRGB,
                                        pixels.data(), &bitmap) != Gdiplus::Ok) {
        return nullptr;
    }
    BitmapPtr owned(bitmap);
    if (indexed) {
        std::vector<unsigned char> buffer(sizeof(Gdiplus::ColorPalette) + sizeof(Gdiplus::ARGB));
        auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
        palette->Flags = 0;
        palette->Count = 2;
        const auto argb = [](Colour c) {
            return Gdiplus::ARGB{0xFF000000u | static_cast<Gdiplus::ARGB>(c.red) << 16 |
                                 static_cast<Gdiplus::ARGB>(c.green) << 8 |
                                 static_cast<Gdiplus::ARGB>(c.blue)};
        };
        palette->Entries[0] = argb(left);
        const Gdiplus::ARGB second = argb(right);
        std::memcpy(
            buffer.data() + offsetof(Gdiplus::ColorPalette, Entries) + sizeof(Gdiplus::ARGB),
            &second, sizeof second);
        if (gdip::GdipSetImagePalette(owned.get(), palette) != Gdiplus::Ok) {
            return nullptr;
        }
    }
    return owned;
}

}  // namespace

bool WriteTestPicture(const std::string& path, PictureType type, int width, int height, Colour left,
                      Colour right) {
    std::vector<unsigned char> pixels;
    const BitmapPtr bitmap = NewBitmap(pixels, type, width, height, left, right);
    CLSID encoder{};
    return bitmap && FindEncoder(MimeType(type), encoder) &&
           gdip::GdipSaveImageToFile(bitmap.get(), win32::Widen(path).c_str(), &encoder, nullptr) ==
               Gdiplus::Ok;
}

Colour ReadPixel(const std::string& path, int x, int y) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromFile(win32::Widen(path).c_str(), &bitmap) != Gdiplus::Ok) {
        return {-1, -1, -1};
    }
    const BitmapPtr owned(bitmap);
    Gdiplus::ARGB argb = 0;
    if (gdip::GdipBitmapGetPixel(bitmap, x, y, &argb) != Gdiplus::Ok) {
        return {-1, -1, -1};
    }
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF)};
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace kesto::testing
