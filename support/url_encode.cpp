#include "support/url_encode.h"

#include <cstring>

namespace kesto {

namespace {

bool IsAsciiAlphanumeric(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9');
}

bool IsWhiteSpace(unsigned char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

}  // namespace

std::string UrlEncode(std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) {
        text = text.substr(0, zero);
    }
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAsciiAlphanumeric(byte)) {
            encoded += c;
        } else if (IsWhiteSpace(byte)) {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

bool UrlEncode(std::string_view text, char* buffer, int& size) {
    const std::string encoded = UrlEncode(text);
    const int capacity = size;
    size = static_cast<int>(encoded.size() + 1);
    if (buffer == nullptr || capacity < size) {
        return false;
    }
    std::memcpy(buffer, encoded.c_str(), encoded.size() + 1);
    return true;
}

}  // namespace kesto
