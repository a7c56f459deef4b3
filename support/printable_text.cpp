#include "support/printable_text.h"

namespace kesto {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool InRange(std::string_view text, std::size_t pos, unsigned low, unsigned high) {
    if (pos >= text.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(text[pos]);
    return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 character starting at text[pos] (its lead byte at least
// 0x80), or 0 when the bytes there are none: the second byte's range depends on the lead byte,
// which shuts out overlong forms, surrogates and values past U+10FFFF.
std::size_t CharacterLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (!InRange(text, pos + 1, low, high)) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!InRange(text, pos + i, 0x80, 0xBF)) {
            return 0;
        }
    }
    return length;
}

void AppendHex(std::string& out, const char* prefix, unsigned char value) {
    out += prefix;
    out += kHexDigits[value >> 4];
    out += kHexDigits[value & 0x0F];
}

void AppendControl(std::string& out, unsigned char byte) {
    switch (byte) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            AppendHex(out, "\\x", byte);
    }
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x20 || byte == 0x7F) {
            AppendControl(out, byte);
            ++pos;
        } else if (byte < 0x80) {
            out += text[pos++];
        } else if (const std::size_t length = CharacterLength(text, pos); length == 0) {
            AppendHex(out, "\\x", byte);
            ++pos;
        } else if (byte == 0xC2 && static_cast<unsigned char>(text[pos + 1]) <= 0x9F) {
            AppendHex(out, "\\u00", static_cast<unsigned char>(text[pos + 1]));  // C1
            pos += length;
        } else {
            out.append(text, pos, length);
            pos += length;
        }
    }
    return out;
}

}  // namespace kesto
