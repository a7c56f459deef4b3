#include "support/text_conversion.h"

#include <cstring>

#include "support/utf16.h"

namespace kesto {

namespace {
// The conversion goes through a 1,024-byte buffer that also holds the terminator.
constexpr std::size_t kUtf8LimitBytes = 1023;

std::string Encode(std::string_view text, CodePage page) {
    return text.empty() ? std::string() : EncodeText(text, page);
}

std::string Decode(const char* bytes, int count, CodePage page) {
    if (bytes == nullptr || count < 1) {
        return {};
    }
    return DecodeText(std::string_view(bytes, static_cast<std::size_t>(count)), page);
}

}  // namespace

std::string ToAnsi(std::string_view text) {
    return Encode(text, CodePage::ThreadAnsi);
}

std::string FromAnsi(const char* bytes, int count) {
    return Decode(bytes, count, CodePage::ThreadAnsi);
}

std::string FromAnsi(const char* zeroTerminated) {
    if (zeroTerminated == nullptr) {
        return {};
    }
    return FromAnsi(zeroTerminated, static_cast<int>(std::strlen(zeroTerminated)));
}

std::string ToMarketplace(std::string_view text) {
    return Encode(text, CodePage::Marketplace);
}

std::string FromMarketplace(const char* bytes, int count) {
    return Decode(bytes, count, CodePage::Marketplace);
}

bool CodePageCarries(std::string_view text, CodePage page) {
    // A character the code page lacks comes back as '?' (on Windows maybe as a look-alike).
    return text.empty() || DecodeText(EncodeText(text, page), page) == text;
}

bool MarketplaceCarries(std::string_view text) {
    return CodePageCarries(text, CodePage::Marketplace);
}

std::string ToUtf8Limited(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) {
        text = text.substr(0, zero);
    }
    // Normalise to well-formed UTF-8 first, as a UTF-16 to UTF-8 conversion would produce.
    const std::string wellFormed = Utf16ToUtf8(Utf8ToUtf16(text));
    return std::string(CutUtf8(wellFormed, kUtf8LimitBytes));
}

}  // namespace kesto
