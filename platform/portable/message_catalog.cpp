#include "platform/portable/message_catalog.h"

#include <cstdint>
#include <optional>

namespace kesto {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::size_t kHeaderSize = 28;  // magic, revision, count, two tables, hash size, hash
constexpr char kContextEnd = '\x04';     // separates an entry's context from its text

// The file's 32-bit words in the byte order its magic number shows.
class Words {
  public:
    Words(std::string_view bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}

    // The word at offset; none when it does not lie wholly inside the file.
    std::optional<std::uint32_t> At(std::uint64_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4) {
            return std::nullopt;
        }
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<unsigned char>(
                bytes_[static_cast<std::size_t>(offset) + static_cast<std::size_t>(i)]);
            const int shift = swapped_ ? 24 - 8 * i : 8 * i;
            word |= static_cast<std::uint32_t>(byte) << shift;
        }
        return word;
    }

    // The string of the table entry at offset (its length, then its offset); none when the entry
    // or the string with its terminating zero byte does not lie inside the file.
    std::optional<std::string_view> StringAt(std::uint64_t entry) const {
        const auto length = At(entry);
        const auto offset = At(entry + 4);
        if (!length || !offset) {
            return std::nullopt;
        }
        const std::uint64_t end = std::uint64_t{*offset} + *length;
        if (end >= bytes_.size() || bytes_[static_cast<std::size_t>(end)] != '\0') {
            return std::nullopt;
        }
        return bytes_.substr(*offset, *length);
    }

  private:
    std::string_view bytes_;
    bool swapped_;
};

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            code = lead & 0x1fu;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            code = lead & 0x0fu;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0u) != 0x80u) {
                return false;
            }
            code = (code << 6) | (next & 0x3fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const std::uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < least || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff) {
            return false;
        }
        i += length;
    }
    return true;
}

// The charset the catalog's header entry (the translation of the empty text) declares in its
// Content-Type line; empty when it declares none.
std::string_view DeclaredCharset(std::string_view header) {
    constexpr std::string_view kName = "charset=";
    const std::size_t line = header.find("Content-Type:");
    if (line == std::string_view::npos) {
        return {};
    }
    const std::size_t lineEnd = header.find('\n', line);
    const std::string_view contentType = header.substr(line, lineEnd - line);
    const std::size_t name = contentType.find(kName);
    if (name == std::string_view::npos) {
        return {};
    }
    std::string_view charset = contentType.substr(name + kName.size());
    const std::size_t end = charset.find_first_of(" ;\r\t");
    return charset.substr(0, end);
}

bool IsUtf8Name(std::string_view charset) {
    std::string name;
    for (const char c : charset) {
        if (c != '-' && c != '_') {
            name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
    return name == "UTF8";
}

MessageCatalogRead Refused(const char* problem) {
    MessageCatalogRead read;
    read.problem = problem;
    return read;
}

}  // namespace

const char* MessageCatalog::Find(std::string_view english) const {
    const auto found = translations_.find(english);
    return found == translations_.end() ? nullptr : found->second;
}

MessageCatalogRead ReadMessageCatalog(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) {
        return Refused("shorter than a catalog's header");
    }
    const auto magic = Words(bytes, false).At(0);
    if (magic != kMagic && magic != kSwappedMagic) {
        return Refused("not a message catalog (wrong magic number)");
    }
    MessageCatalogRead read;
    MessageCatalog& catalog = read.catalog;
    catalog.bytes_.assign(bytes.begin(), bytes.end());
    const std::string_view file(catalog.bytes_.data(), catalog.bytes_.size());
    const Words words(file, magic == kSwappedMagic);
    // Revisions 0 and 1 share the tables read here; a later major revision may not.
    if ((*words.At(4) >> 16) > 1) {
        return Refused("a catalog revision this program does not know");
    }
    const std::uint64_t count = *words.At(8);
    const std::uint64_t originals = *words.At(12);
    const std::uint64_t translated = *words.At(16);
    // Each table entry takes 8 bytes; both tables must lie inside the file.
    if (originals > file.size() || (file.size() - originals) / 8 < count ||
        translated > file.size() || (file.size() - translated) / 8 < count) {
        return Refused("a table reaches past the end of the file");
    }
    std::string_view charset;
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto original = words.StringAt(originals + 8 * i);
        const auto translation = words.StringAt(translated + 8 * i);
        if (!original || !translation) {
            return Refused("a text reaches past the end of the file");
        }
        // Plural forms follow the singular, and the first form its translation, after a zero
        // byte; so every text taken ends with one.
        const std::string_view english = original->substr(0, original->find('\0'));
        const std::string_view text = translation->substr(0, translation->find('\0'));
        if (english.empty()) {
            charset = DeclaredCharset(text);
            continue;
        }
        if (text.empty() || english.find(kContextEnd) != std::string_view::npos || !IsUtf8(text)) {
            continue;
        }
        catalog.translations_.emplace(english, text.data());
    }
    if (!charset.empty() && !IsUtf8Name(charset)) {
        return Refused("the catalog is not in UTF-8");
    }
    return read;
}

}  // namespace kesto
