#pragma once
// Small readings shared by the readers of picture files (image/picture_header.cpp,
// image/picture_end.cpp).

#include <cstddef>
#include <cstdint>

namespace kesto::picture_bytes {

inline std::uint32_t BigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

inline std::uint32_t LittleEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

// JPEG markers that stand alone, without a length: TEM, RST0 to RST7, SOI.
inline bool StandsAlone(int marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

}  // namespace kesto::picture_bytes
