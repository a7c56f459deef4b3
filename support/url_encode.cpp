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

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Whether a byte of a path or query goes on the wire escaped.
bool NeedsEscape(unsigned char byte) {
    constexpr std::string_view kUnsafe = " \"<>\\^`{|}";
    return byte <= 0x20 || byte >= 0x7F || kUnsafe.find(static_cast<char>(byte)) != kUnsafe.npos;
}

void AppendEscaped(std::string& text, unsigned char byte) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    text += '%';
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0x0F];
}

}  // namespace

std::string UrlEncode(std::string_view text) {
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
            AppendEscaped(encoded, byte);
        }
    }
    return encoded;
}

std::string EscapeUrl(std::string_view url) {
    const std::size_t schemeEnd = url.find("://");
    const std::size_t pathStart =
        schemeEnd == std::string_view::npos ? 0 : url.find_first_of("/?#", schemeEnd + 3);
    if (pathStart == std::string_view::npos) {
        return std::string(url);
    }
    std::string escaped(url.substr(0, pathStart));
    const std::string_view rest = url.substr(pathStart, url.find('#', pathStart) - pathStart);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto byte = static_cast<unsigned char>(rest[i]);
        const bool escapeStart =
            i + 2 < rest.size() && IsHexDigit(rest[i + 1]) && IsHexDigit(rest[i + 2]);
        if (NeedsEscape(byte) || (byte == '%' && !escapeStart)) {
            AppendEscaped(escaped, byte);
        } else {
            escaped += rest[i];
        }
    }
    return escaped;
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
