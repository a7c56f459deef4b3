#include "image/picture_end.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "image/picture_bytes.h"
#include "support/file_path.h"

namespace kesto {

namespace {

using picture_bytes::BigEndian;
using picture_bytes::StandsAlone;

// The stream's bytes one at a time or skipped in runs, through its buffer: a JPEG's scans are
// read byte by byte.
class ByteSource {
  public:
    explicit ByteSource(std::istream& in) : buffer_(in.rdbuf()) {}

    // The next byte, or -1 at the end.
    int Next() {
        if (buffer_ == nullptr) {
            return -1;
        }
        const auto byte = buffer_->sbumpc();
        return byte == std::char_traits<char>::eof() ? -1 : static_cast<unsigned char>(byte);
    }

    // Reads count bytes; false when the stream ends first.
    template <std::size_t count>
    bool Read(std::array<unsigned char, count>& bytes) {
        return buffer_ != nullptr && buffer_->sgetn(reinterpret_cast<char*>(bytes.data()), count) ==
                                         static_cast<std::streamsize>(count);
    }

    // Passes over count bytes; false when the stream ends first.
    bool Skip(std::uint64_t count) {
        std::array<char, 4096> scratch{};
        while (count > 0 && buffer_ != nullptr) {
            const auto wanted =
                static_cast<std::streamsize>(std::min<std::uint64_t>(count, scratch.size()));
            const std::streamsize got = buffer_->sgetn(scratch.data(), wanted);
            if (got <= 0) {
                return false;
            }
            count -= static_cast<std::uint64_t>(got);
        }
        return count == 0;
    }

  private:
    std::streambuf* buffer_;
};

// The next marker's code (0xFF, any fill bytes, the code); -1 when the stream ends first. Bytes
// before the 0xFF are passed over, as decoders do: some writers leave a few after a segment.
int ReadMarker(ByteSource& in) {
    int byte = in.Next();
    while (byte >= 0 && byte != 0xFF) {
        byte = in.Next();
    }
    while (byte == 0xFF) {
        byte = in.Next();
    }
    return byte;
}

// Reads a scan's coded data up to the marker that ends it (a stuffed 0xFF 0x00 and the restart
// markers belong to the data); that marker's code, or -1 when the stream ends first.
int MarkerAfterScan(ByteSource& in) {
    for (;;) {
        int byte = in.Next();
        if (byte != 0xFF) {
            if (byte < 0) {
                return -1;
            }
            continue;
        }
        while (byte == 0xFF) {
            byte = in.Next();
        }
        if (byte < 0 || (byte != 0x00 && !(byte >= 0xD0 && byte <= 0xD7))) {
            return byte;
        }
    }
}

// After the start-of-image marker: segments and scans up to the end-of-image marker.
PictureEnd JpegEnd(ByteSource& in) {
    int marker = ReadMarker(in);
    for (;;) {
        if (marker < 0) {
            return PictureEnd::kCutShort;
        }
        if (marker == 0xD9) {
            return PictureEnd::kWhole;
        }
        if (StandsAlone(marker)) {
            marker = ReadMarker(in);
            continue;
        }
        std::array<unsigned char, 2> length{};
        if (!in.Read(length) || BigEndian(length.data(), 2) < 2 ||
            !in.Skip(BigEndian(length.data(), 2) - 2)) {
            return PictureEnd::kCutShort;
        }
        marker = marker == 0xDA ? MarkerAfterScan(in) : ReadMarker(in);
    }
}

// After the signature: chunks (length, type, data, check value) up to IEND.
PictureEnd PngEnd(ByteSource& in) {
    for (;;) {
        std::array<unsigned char, 8> chunk{};
        if (!in.Read(chunk)) {
            return PictureEnd::kCutShort;
        }
        if (std::string_view(reinterpret_cast<const char*>(chunk.data() + 4), 4) == "IEND") {
            return PictureEnd::kWhole;
        }
        if (!in.Skip(std::uint64_t{BigEndian(chunk.data(), 4)} + 4)) {
            return PictureEnd::kCutShort;
        }
    }
}

// A run of data sub-blocks, up to and including the empty one that ends it.
bool SkipSubBlocks(ByteSource& in) {
    for (int length = in.Next(); length != 0; length = in.Next()) {
        if (length < 0 || !in.Skip(static_cast<std::uint64_t>(length))) {
            return false;
        }
    }
    return true;
}

// A colour table when the flags announce one (2 << size entries of 3 bytes).
bool SkipColourTable(ByteSource& in, unsigned char flags) {
    return (flags & 0x80) == 0 || in.Skip(3u * (2u << (flags & 0x07)));
}

// After the signature: the logical screen, then extensions and frames up to the trailer.
PictureEnd GifEnd(ByteSource& in) {
    std::array<unsigned char, 7> screen{};  // width, height, flags, background, aspect
    if (!in.Read(screen) || !SkipColourTable(in, screen[4])) {
        return PictureEnd::kCutShort;
    }
    bool frameSeen = false;
    for (;;) {
        const int introducer = in.Next();
        // After a whole frame, an end without the trailer or bytes that start no block (padding)
        // end the picture for every decoder.
        if (introducer == 0x3B || (frameSeen && introducer != 0x21 && introducer != 0x2C)) {
            return PictureEnd::kWhole;
        }
        std::array<unsigned char, 9> frame{};  // left, top, width, height, flags
        const bool whole = introducer == 0x21   ? in.Skip(1) && SkipSubBlocks(in)
                           : introducer == 0x2C ? in.Read(frame) && SkipColourTable(in, frame[8]) &&
                                                      in.Skip(1) && SkipSubBlocks(in)
                                                : false;
        if (!whole) {
            return PictureEnd::kCutShort;
        }
        frameSeen = frameSeen || introducer == 0x2C;
    }
}

}  // namespace

PictureEnd FindPictureEnd(std::istream& in) {
    ByteSource bytes(in);
    std::array<unsigned char, 2> start{};
    if (!bytes.Read(start)) {
        return PictureEnd::kNotRead;
    }
    if (start[0] == 0xFF && start[1] == 0xD8) {
        return JpegEnd(bytes);
    }
    std::array<unsigned char, 4> rest{};
    if (!bytes.Read(rest)) {
        return PictureEnd::kNotRead;
    }
    std::string signature(reinterpret_cast<const char*>(start.data()), start.size());
    signature.append(reinterpret_cast<const char*>(rest.data()), rest.size());
    if (signature == "GIF87a" || signature == "GIF89a") {
        return GifEnd(bytes);
    }
    std::array<unsigned char, 2> pngEnd{};
    if (signature == "\x89PNG\r\n" && bytes.Read(pngEnd) && pngEnd[0] == 0x1A &&
        pngEnd[1] == '\n') {
        return PngEnd(bytes);
    }
    return PictureEnd::kNotRead;
}

PictureEnd FindPictureEnd(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return in ? FindPictureEnd(in) : PictureEnd::kNotRead;
}

}  // namespace kesto
