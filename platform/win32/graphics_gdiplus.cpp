// The graphics layer on Windows: GDI+ through its flat interface.

// In this order: GDI+ needs the COM declarations that the lean windows.h leaves out.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <vector>

#include "platform/graphics.h"
#include "platform/win32/wide_text.h"

namespace kesto {
namespace {

namespace gdip = Gdiplus::DllExports;

// The published identity of the encoder's quality parameter.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

struct ImageDispose {
    void operator()(Gdiplus::GpImage* image) const { gdip::GdipDisposeImage(image); }
};
struct GraphicsDelete {
    void operator()(Gdiplus::GpGraphics* graphics) const { gdip::GdipDeleteGraphics(graphics); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::GpBitmap, ImageDispose>;
using GraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDelete>;

// The index of the encoder for the MIME type (compared exactly) in the library's encoder list,
// its class identity written to classId; -1 when there is none.
int FindEncoderClassId(const wchar_t* mimeType, CLSID& classId) {
    UINT count = 0;
    UINT size = 0;
    if (gdip::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return -1;
    }
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gdip::GdipGetImageEncoders(count, size, encoders) != Gdiplus::Ok) {
        return -1;
    }
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType != nullptr && wcscmp(encoders[i].MimeType, mimeType) == 0) {
            classId = encoders[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

class GdiplusBitmap final : public Bitmap {
  public:
    explicit GdiplusBitmap(BitmapPtr bitmap) : bitmap_(std::move(bitmap)) {}

    int Width() const override {
        UINT width = 0;
        gdip::GdipGetImageWidth(bitmap_.get(), &width);
        return static_cast<int>(width);
    }

    int Height() const override {
        UINT height = 0;
        gdip::GdipGetImageHeight(bitmap_.get(), &height);
        return static_cast<int>(height);
    }

    PixelFormat Format() const override {
        Gdiplus::PixelFormat format = 0;
        gdip::GdipGetImagePixelFormat(bitmap_.get(), &format);
        return {static_cast<std::int32_t>(format), (format & PixelFormatIndexed) != 0};
    }

    bool DrawStretched(const Bitmap& source) override {
        const auto* picture = dynamic_cast<const GdiplusBitmap*>(&source);
        Gdiplus::GpGraphics* graphics = nullptr;
        if (picture == nullptr ||
            gdip::GdipGetImageGraphicsContext(bitmap_.get(), &graphics) != Gdiplus::Ok) {
            return false;
        }
        const GraphicsPtr surface(graphics);
        gdip::GdipSetInterpolationMode(surface.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        return gdip::GdipDrawImageRectI(surface.get(), picture->bitmap_.get(), 0, 0, Width(),
                                        Height()) == Gdiplus::Ok;
    }

    bool SaveJpeg(const std::string& path, int quality) const override {
        CLSID jpegClassId{};
        if (FindEncoderClassId(L"image/jpeg", jpegClassId) < 0) {
            return false;
        }
        ULONG qualityValue = static_cast<ULONG>(quality);
        Gdiplus::EncoderParameters parameters{};
        parameters.Count = 1;
        parameters.Parameter[0].Guid = kEncoderQuality;
        parameters.Parameter[0].NumberOfValues = 1;
        parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
        parameters.Parameter[0].Value = &qualityValue;
        return gdip::GdipSaveImageToFile(bitmap_.get(), win32::Widen(path).c_str(), &jpegClassId,
                                         &parameters) == Gdiplus::Ok;
    }

  private:
    BitmapPtr bitmap_;
};

class GdiplusLibrary final : public GraphicsLibrary {
  public:
    explicit GdiplusLibrary(ULONG_PTR token) : token_(token) {}
    ~GdiplusLibrary() override { Gdiplus::GdiplusShutdown(token_); }
    GdiplusLibrary(const GdiplusLibrary&) = delete;
    GdiplusLibrary& operator=(const GdiplusLibrary&) = delete;

  private:
    ULONG_PTR token_;
};

}  // namespace

PixelFormat TrueColourFormat() {
    return {static_cast<std::int32_t>(PixelFormat24bppRGB), false};
}

// The core reads the size of JPEG, PNG, GIF, BMP and TIFF files before the library sees them; the
// library decodes other formats lazily, so their size is checked before a pixel is used.
std::unique_ptr<Bitmap> DecodeBitmap(const std::string& path) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromFile(win32::Widen(path).c_str(), &bitmap) != Gdiplus::Ok ||
        bitmap == nullptr) {
        return nullptr;
    }
    auto decoded = std::make_unique<GdiplusBitmap>(BitmapPtr(bitmap));
    if (ExceedsPixelLimit(static_cast<std::uint32_t>(decoded->Width()),
                          static_cast<std::uint32_t>(decoded->Height()))) {
        return nullptr;
    }
    return decoded;
}

std::unique_ptr<Bitmap> CreateBitmap(int width, int height, PixelFormat format) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(width, height, 0, format.code, nullptr, &bitmap) !=
            Gdiplus::Ok ||
        bitmap == nullptr) {
        return nullptr;
    }
    return std::make_unique<GdiplusBitmap>(BitmapPtr(bitmap));
}

std::unique_ptr<GraphicsLibrary> StartGraphicsLibrary() {
    // Version 1, no debug callback, the library's background thread and external codecs on.
    const Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    return std::make_unique<GdiplusLibrary>(token);
}

}  // namespace kesto
