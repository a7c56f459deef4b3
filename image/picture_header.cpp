#include "image/picture_header.h"

#include "platform/translation.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "image/picture_bytes.h"
#include "platform/graphics.h"
#include "support/file_path.h"

namespace kesto {

namespace {

using picture_bytes::BigEndian;
using picture_bytes::LittleEndian;
using picture_bytes::StandsAlone;

// Reads count bytes; false when the stream ends first.
template <std::size_t count>
bool ReadBytes(std::istream& in, std::array<unsigned char, count>& bytes) {
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

bool Skip(std::istream& in, std::uint32_t count) {
    return static_cast<bool>(in.seekg(static_cast<std::streamoff>(count), std::ios::cur));
}

// Start-of-frame markers carry the frame's size; C4 (Huffman tables), C8 (reserved) and CC
// (arithmetic coding) share the range without being frames.
bool IsStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments after the start marker up to the first frame header.
std::optional<DeclaredSize> JpegSize(std::istream& in) {
    for (;;) {
        std::array<unsigned char, 1> byte{};
        if (!ReadBytes(in, byte) || byte[0] != 0xFF) {
            return std::nullopt;
        }
        while (byte[0] == 0xFF) {  // fill bytes before the marker
            if (!ReadBytes(in, byte)) {
                return std::nullopt;
            }
        }
        const unsigned char marker = byte[0];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) {
            return std::nullopt;  // the image ended or its data began without a frame header
        }
        std::array<unsigned char, 2> length{};
        if (!ReadBytes(in, length) || BigEndian(length.data(), 2) < 2) {
            return std::nullopt;
        }
        if (IsStartOfFrame(marker)) {
            std::array<unsigned char, 5> frame{};  // precision, height, width
            if (!ReadBytes(in, frame)) {
                return std::nullopt;
            }
            return DeclaredSize{BigEndian(frame.data() + 3, 2), BigEndian(frame.data() + 1, 2)};
        }
        if (!Skip(in, BigEndian(length.data(), 2) - 2)) {
            return std::nullopt;
        }
    }
}

// The first chunk after the signature is the header chunk: length, "IHDR", width, height.
std::optional<DeclaredSize> PngSize(std::istream& in) {
    std::array<unsigned char, 8> chunk{};
    std::array<unsigned char, 8> size{};
    if (!ReadBytes(in, chunk) || chunk[4] != 'I' || chunk[5] != 'H' || chunk[6] != 'D' ||
        chunk[7] != 'R' || !ReadBytes(in, size)) {
        return std::nullopt;
    }
    return DeclaredSize{BigEndian(size.data(), 4), BigEndian(size.data() + 4, 4)};
}

// Skips a run of data sub-blocks, up to and including the empty one that ends it.
bool SkipSubBlocks(std::istream& in) {
    for (;;) {
        std::array<unsigned char, 1> length{};
        if (!ReadBytes(in, length)) {
            return false;
        }
        if (length[0] == 0) {
            return true;
        }
        if (!Skip(in, length[0])) {
            return false;
        }
    }
}

// Skips a colour table when the flags announce one (2 << size entries of 3 bytes).
bool SkipColourTable(std::istream& in, unsigned char flags) {
    return (flags & 0x80) == 0 || Skip(in, 3u * (2u << (flags & 0x07)));
}

// The logical screen after the signature, then every frame's extent up to the trailer.
std::optional<DeclaredSize> GifSize(std::istream& in) {
    std::array<unsigned char, 7> screen{};  // width, height, flags, background, aspect
    if (!ReadBytes(in, screen) || !SkipColourTable(in, screen[4])) {
        return std::nullopt;
    }
    DeclaredSize size{LittleEndian(screen.data(), 2), LittleEndian(screen.data() + 2, 2)};
    for (;;) {
        std::array<unsigned char, 1> introducer{};
        if (!ReadBytes(in, introducer) || introducer[0] == 0x3B) {
            return size;  // the trailer, or a file cut short after what it declared so far
        }
        if (introducer[0] == 0x21) {  // an extension: its label, then its sub-blocks
            if (!Skip(in, 1) || !SkipSubBlocks(in)) {
                return size;
            }
            continue;
        }
        std::array<unsigned char, 8> frame{};  // left, top, width, height
        std::array<unsigned char, 1> flags{};
        if (introducer[0] != 0x2C || !ReadBytes(in, frame) || !ReadBytes(in, flags)) {
            return size;
        }
        size.width =
            std::max(size.width, LittleEndian(frame.data(), 2) + LittleEndian(frame.data() + 4, 2));
        size.height = std::max(
            size.height, LittleEndian(frame.data() + 2, 2) + LittleEndian(frame.data() + 6, 2));
        // The frame's colour table, its code size byte, then its data.
        if (!SkipColourTable(in, flags[0]) || !Skip(in, 1) || !SkipSubBlocks(in)) {
            return size;
        }
    }
}

// After "BM" and the file header: the info header's size, then its width and height (16-bit in
// the oldest header, signed 32-bit in the others, a negative height meaning top-down rows).
std::optional<DeclaredSize> BmpSize(std::istream& in) {
    std::array<unsigned char, 12> fileHeader{};  // file size, reserved, offset of the pixels
    std::array<unsigned char, 4> infoSize{};
    std::array<unsigned char, 8> size{};
    if (!ReadBytes(in, fileHeader) || !ReadBytes(in, infoSize) || !ReadBytes(in, size)) {
        return std::nullopt;
    }
    if (LittleEndian(infoSize.data(), 4) == 12) {
        return DeclaredSize{LittleEndian(size.data(), 2), LittleEndian(size.data() + 2, 2)};
    }
    const auto magnitude = [](std::uint32_t value) {
        return value > 0x7FFFFFFFu ? 0u - value : value;
    };
    return DeclaredSize{magnitude(LittleEndian(size.data(), 4)),
                        magnitude(LittleEndian(size.data() + 4, 4))};
}

// After the byte order mark ("II" or "MM"): 42, the first directory's offset, then in that
// directory the entries ImageWidth (256) and ImageLength (257), each a SHORT or a LONG.
std::optional<DeclaredSize> TiffSize(std::istream& in, bool bigEndian) {
    const auto number = [bigEndian](const unsigned char* bytes, std::size_t count) {
        return bigEndian ? BigEndian(bytes, count) : LittleEndian(bytes, count);
    };
    std::array<unsigned char, 6> header{};  // 42, the directory's offset
    if (!ReadBytes(in, header) || number(header.data(), 2) != 42 ||
        !in.seekg(static_cast<std::streamoff>(number(header.data() + 2, 4)), std::ios::beg)) {
        return std::nullopt;
    }
    std::array<unsigned char, 2> count{};
    if (!ReadBytes(in, count)) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> width;
    std::optional<std::uint32_t> height;
    for (std::uint32_t left = number(count.data(), 2); left > 0 && !(width && height); --left) {
        std::array<unsigned char, 12> entry{};  // tag, type, count, value
        if (!ReadBytes(in, entry)) {
            return std::nullopt;
        }
        const std::uint32_t tag = number(entry.data(), 2);
        const std::uint32_t type = number(entry.data() + 2, 2);
        const std::uint32_t value = number(entry.data() + 8, type == 3 ? 2 : 4);
        if (tag == 256) {
            width = value;
        } else if (tag == 257) {
            height = value;
        }
    }
    if (!width || !height) {
        return std::nullopt;
    }
    return DeclaredSize{*width, *height};
}

}  // namespace

std::optional<DeclaredSize> ReadDeclaredSize(std::istream& in) {
    std::array<unsigned char, 2> start{};
    if (!ReadBytes(in, start)) {
        return std::nullopt;
    }
    if (start[0] == 0xFF && start[1] == 0xD8) {
        return JpegSize(in);
    }
    if (start[0] == 'B' && start[1] == 'M') {
        return BmpSize(in);
    }
    if ((start[0] == 'I' && start[1] == 'I') || (start[0] == 'M' && start[1] == 'M')) {
        return TiffSize(in, start[0] == 'M');
    }
    std::array<unsigned char, 4> rest{};
    if (!ReadBytes(in, rest)) {
        return std::nullopt;
    }
    const std::array<unsigned char, 6> signature{start[0], start[1], rest[0],
                                                 rest[1],  rest[2],  rest[3]};
    const auto is = [&signature](std::string_view text) {
        return std::equal(text.begin(), text.end(), signature.begin(),
                          [](char expected, unsigned char byte) {
                              return static_cast<unsigned char>(expected) == byte;
                          });
    };
    if (is("GIF87a") || is("GIF89a")) {
        return GifSize(in);
    }
    std::array<unsigned char, 2> pngEnd{};
    if (is("\x89PNG\r\n") && ReadBytes(in, pngEnd) && pngEnd[0] == 0x1A && pngEnd[1] == '\n') {
        return PngSize(in);
    }
    return std::nullopt;
}

bool ExceedsPictureLimit(DeclaredSize size) {
    return ExceedsPixelLimit(size.width, size.height);
}

PictureFileCheck CheckPictureFile(const std::string& path) {
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return PictureFileCheck::kNotRegularFile;
    }
    std::ifstream in(file, std::ios::binary);
    const std::optional<DeclaredSize> size = ReadDeclaredSize(in);
    return size && ExceedsPictureLimit(*size) ? PictureFileCheck::kTooLarge
                                              : PictureFileCheck::kAccepted;
}

static_assert(kMaxPicturePixels == 100'000'000, "the words below name the limit");

const char* DescribePictureFileCheck(PictureFileCheck check) {
    switch (check) {
        case PictureFileCheck::kAccepted:
            return TranslatedLater("can be decoded");
        case PictureFileCheck::kNotRegularFile:
            return TranslatedLater("is not a regular file");
        case PictureFileCheck::kTooLarge:
            return TranslatedLater("declares more than 100 million pixels");
    }
    return TranslatedLater("cannot be decoded");
}

}  // namespace kesto
