// The graphics layer on POSIX systems: libvips. A decoded picture is read lazily, so drawing it
// small decodes only what the thumbnail needs: a JPEG is decoded at 1/2, 1/4 or 1/8 of its size
// where that still leaves at least twice the target size, and every picture streams through the
// resampler without being held whole in memory.

#include <vips/vips.h>
// After vips.h, which it needs.
#include <vips/vector.h>

#include <algorithm>
#include <fstream>
#include <string_view>
#include <utility>

#include "platform/graphics.h"

namespace kesto {
namespace {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using ImagePtr = std::unique_ptr<VipsImage, GObjectUnref>;
using SourcePtr = std::unique_ptr<VipsSource, GObjectUnref>;

constexpr std::int32_t kTrueColourBands = 3;

// The library's messages are not shown anywhere; clearing them keeps the buffer from growing.
template <typename Result>
Result Failed(Result result) {
    vips_error_clear();
    return result;
}

bool IsJpegLoader(const char* loader) {
    return loader != nullptr && std::string_view(loader).starts_with("VipsForeignLoadJpeg");
}

bool IsIndexed(VipsImage* image, const char* loader) {
    return vips_image_get_typeof(image, "palette-bit-depth") != 0 ||
           (loader != nullptr && std::string_view(loader).starts_with("VipsForeignLoadNsgif"));
}

// The largest shrink the JPEG decoder can apply that leaves at least twice the target size,
// for the bicubic step to work on.
int JpegShrink(double factor) {
    if (factor >= 16.0) {
        return 8;
    }
    if (factor >= 8.0) {
        return 4;
    }
    if (factor >= 4.0) {
        return 2;
    }
    return 1;
}

// Replaces the image by the result of an operation (in, out) -> status, when it succeeded.
template <typename Operation>
bool Apply(ImagePtr& image, Operation operation) {
    VipsImage* result = nullptr;
    if (operation(image.get(), &result) != 0) {
        return Failed(false);
    }
    image.reset(result);
    return true;
}

// Three bands of 8-bit sRGB with any transparency put on black, as a JPEG holds them.
bool ToTrueColour(ImagePtr& image) {
    if (vips_image_guess_interpretation(image.get()) != VIPS_INTERPRETATION_sRGB &&
        !Apply(image, [](VipsImage* in, VipsImage** out) {
            return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
        })) {
        return false;
    }
    if (vips_image_hasalpha(image.get()) && !Apply(image, [](VipsImage* in, VipsImage** out) {
            return vips_flatten(in, out, nullptr);
        })) {
        return false;
    }
    if (vips_image_get_format(image.get()) != VIPS_FORMAT_UCHAR &&
        !Apply(image,
               [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); })) {
        return false;
    }
    return true;
}

class VipsBitmap final : public Bitmap {
  public:
    VipsBitmap(ImagePtr image, std::string path, bool jpeg, PixelFormat format)
        : image_(std::move(image)), path_(std::move(path)), jpeg_(jpeg), format_(format) {}

    int Width() const override { return vips_image_get_width(image_.get()); }
    int Height() const override { return vips_image_get_height(image_.get()); }
    PixelFormat Format() const override { return format_; }

    bool DrawStretched(const Bitmap& source) override {
        const auto* picture = dynamic_cast<const VipsBitmap*>(&source);
        if (picture == nullptr) {
            return false;
        }
        ImagePtr drawn = picture->LoadForSize(Width(), Height());
        if (!drawn || !ToTrueColour(drawn) || !Resize(drawn, Width(), Height())) {
            return false;
        }
        image_ = std::move(drawn);
        return true;
    }

    // Encodes in memory first, so that a picture that turns out damaged while it is decoded
    // leaves the file as it was.
    bool SaveJpeg(const std::string& path, int quality) const override {
        void* buffer = nullptr;
        std::size_t length = 0;
        if (vips_jpegsave_buffer(image_.get(), &buffer, &length, "Q", quality, "strip", TRUE,
                                 nullptr) != 0) {
            return Failed(false);
        }
        const std::unique_ptr<void, decltype(&g_free)> encoded(buffer, g_free);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(static_cast<const char*>(buffer), static_cast<std::streamsize>(length));
        file.close();
        return !file.fail();
    }

  private:
    // The picture's pixels, decoded no larger than drawing it at this size needs.
    ImagePtr LoadForSize(int width, int height) const {
        const double factor =
            std::min(static_cast<double>(Width()) / width, static_cast<double>(Height()) / height);
        const int shrink = jpeg_ ? JpegShrink(factor) : 1;
        if (shrink == 1) {
            g_object_ref(image_.get());
            return ImagePtr(image_.get());
        }
        const SourcePtr source(vips_source_new_from_file(path_.c_str()));
        VipsImage* loaded = nullptr;
        if (!source || vips_jpegload_source(source.get(), &loaded, "shrink", shrink, "access",
                                            VIPS_ACCESS_SEQUENTIAL, nullptr) != 0) {
            return Failed(ImagePtr());
        }
        return ImagePtr(loaded);
    }

    // Scales to exactly this size: the resampler rounds the scaled size, and the scale factors
    // are the target over the source size, so nothing is left to round.
    static bool Resize(ImagePtr& image, int width, int height) {
        const double horizontal = static_cast<double>(width) / vips_image_get_width(image.get());
        const double vertical = static_cast<double>(height) / vips_image_get_height(image.get());
        return Apply(image, [&](VipsImage* in, VipsImage** out) {
            return vips_resize(in, out, horizontal, "vscale", vertical, "kernel", VIPS_KERNEL_CUBIC,
                               nullptr);
        });
    }

    ImagePtr image_;
    std::string path_;  // the file a decoded picture came from; empty for a new bitmap
    bool jpeg_;
    PixelFormat format_;
};

class VipsLibrary final : public GraphicsLibrary {};

// The library loads its optional loaders (HEIF, JPEG XL, ImageMagick, OpenSlide, PDF) as modules
// from below its install folder when it starts, which takes as long as the rest of its start-up,
// and OpenSlide's loader then opens every picture some forty times to learn whether it is a slide.
// The marketplace takes JPEG, GIF and PNG, which the library reads itself, and the ImageMagick
// loader (BMP and the like) is refused as unfit for untrusted files anyway; without the modules a
// HEIF or JPEG XL picture is refused as well, as it is on Windows. So the library is told to look
// for its install folder in the null device, below which no module can be. The library sets this
// variable itself during its start-up when it is unset, so setting it first adds no change to the
// environment that was not made before.
constexpr const char* kInstallFolderVariable = "VIPSHOME";
constexpr const char* kFolderWithoutModules = "/dev/null";

bool InitialiseVips() {
    if (!g_setenv(kInstallFolderVariable, kFolderWithoutModules, TRUE) || VIPS_INIT("kesto") != 0) {
        return Failed(false);
    }
    // Pictures come from template folders: only the loaders fit for untrusted files, and no
    // cache that could answer for a file that has changed on disk since.
    vips_block_untrusted_set(TRUE);
    vips_cache_set_max(0);
    // Without the cache, every resize would compile its vector programs anew, writing each to a
    // temporary file to run it: far more work than the plain code spends on a thumbnail's pixels.
    vips_vector_set_enabled(FALSE);
    // Warnings about damaged pictures are not for the user's terminal: a picture that cannot be
    // used fails its operation, which the caller reports.
    g_log_set_handler(
        "VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {},
        nullptr);
    return true;
}

// Whether the image's size as its header declares it is beyond the limit; the library reads no
// pixel before it is asked to.
bool HeaderExceedsLimit(VipsImage* image) {
    return ExceedsPixelLimit(static_cast<std::uint32_t>(std::max(0, vips_image_get_width(image))),
                             static_cast<std::uint32_t>(std::max(0, vips_image_get_height(image))));
}

}  // namespace

PixelFormat TrueColourFormat() {
    return {kTrueColourBands, false};
}

std::unique_ptr<Bitmap> DecodeBitmap(const std::string& path) {
    const SourcePtr source(vips_source_new_from_file(path.c_str()));
    if (!source) {
        return Failed(std::unique_ptr<Bitmap>());
    }
    const char* loader = vips_foreign_find_load_source(source.get());
    if (loader == nullptr) {
        return Failed(std::unique_ptr<Bitmap>());
    }
    ImagePtr image(
        vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!image || HeaderExceedsLimit(image.get())) {
        return Failed(std::unique_ptr<Bitmap>());
    }
    const PixelFormat format{vips_image_get_bands(image.get()), IsIndexed(image.get(), loader)};
    return std::make_unique<VipsBitmap>(std::move(image), path, IsJpegLoader(loader), format);
}

std::unique_ptr<Bitmap> CreateBitmap(int width, int height, PixelFormat format) {
    VipsImage* black = nullptr;
    if (width <= 0 || height <= 0 ||
        vips_black(&black, width, height, "bands", kTrueColourBands, nullptr) != 0) {
        return Failed(std::unique_ptr<Bitmap>());
    }
    return std::make_unique<VipsBitmap>(ImagePtr(black), std::string(), false, format);
}

std::unique_ptr<GraphicsLibrary> StartGraphicsLibrary() {
    // The library starts once per process and cannot start again after a shutdown, so it stays
    // running; the object only marks a running session.
    static const bool initialised = InitialiseVips();
    if (!initialised) {
        return nullptr;
    }
    return std::make_unique<VipsLibrary>();
}

}  // namespace kesto
