#include "job/main_page_text.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "market/hosts.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/text_conversion.h"
#include "support/utf16.h"

namespace kesto {

namespace {

constexpr char kShopUrlMarker[] = "{店铺URL}";
constexpr char kShopIdMarker[] = "{店铺ID}";

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t found = text.find(from); found != std::string_view::npos;
         found = text.find(from, start)) {
        result.append(text, start, found - start);
        result += to;
        start = found + from.size();
    }
    result.append(text, start);
    return result;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

// The uploaded pictures' names as a trie of their bytes, so that the longest name starting at a
// position of the text is found by one walk from there, at most one name long: filling a text is
// linear in the text (times the longest name) plus the names, however many pictures there are.
class PictureNames {
  public:
    explicit PictureNames(const UploadedPictures& pictures) {
        nodes_.emplace_back();
        for (const auto& [name, address] : pictures) {
            std::uint32_t node = 0;
            for (const char byte : name) {
                node = AddChild(node, byte);
            }
            if (node != 0) {
                nodes_[node].address = &address;
            }
        }
    }

    // The address of the longest name the text holds at position (length set to the name's),
    // or null when none starts there.
    const std::string* LongestAt(std::string_view text, std::size_t position,
                                 std::size_t& length) const {
        const std::string* found = nullptr;
        std::uint32_t node = 0;
        for (std::size_t at = position; at < text.size(); ++at) {
            node = Child(node, text[at]);
            if (node == 0) {
                break;
            }
            if (nodes_[node].address != nullptr) {
                found = nodes_[node].address;
                length = at + 1 - position;
            }
        }
        return found;
    }

  private:
    struct Node {
        const std::string* address = nullptr;
    };

    static std::uint64_t Key(std::uint32_t node, char byte) {
        return (std::uint64_t{node} << 8) | static_cast<unsigned char>(byte);
    }

    // The node after node on byte; 0 when there is none.
    std::uint32_t Child(std::uint32_t node, char byte) const {
        const auto found = edges_.find(Key(node, byte));
        return found != edges_.end() ? found->second : 0;
    }
    // The node after node on byte, made when missing.
    std::uint32_t AddChild(std::uint32_t node, char byte) {
        const auto [edge, added] =
            edges_.try_emplace(Key(node, byte), static_cast<std::uint32_t>(nodes_.size()));
        if (added) {
            nodes_.emplace_back();
        }
        return edge->second;
    }

    std::vector<Node> nodes_;
    std::unordered_map<std::uint64_t, std::uint32_t> edges_;
};

bool HasUnpairedSurrogate(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return true;
        }
    }
    return false;
}

// A zero character would end the page wherever the text is taken as a C string.
DecodedPageText WithoutZeroCharacter(std::string text) {
    if (text.find('\0') != std::string::npos) {
        return {{}, Translate("holds a zero character, which would cut the main page short")};
    }
    return {std::move(text), {}};
}

}  // namespace

DecodedPageText DecodeContentFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return WithoutZeroCharacter(std::string(bytes.substr(3)));
    }
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (littleEndian || bytes.starts_with("\xFE\xFF")) {
        const std::string_view units = bytes.substr(2);
        if (units.size() % 2 != 0) {
            return {{},
                    Translate("is UTF-16 with an odd number of bytes: its last byte is half a "
                              "character")};
        }
        const std::u16string text = DecodeUtf16(units, !littleEndian);
        if (HasUnpairedSurrogate(text)) {
            return {{}, Translate("holds half of a UTF-16 surrogate pair, which is no character")};
        }
        return WithoutZeroCharacter(Utf16ToUtf8(text));
    }
    if (bytes.find('\0') != std::string_view::npos) {
        return {{},
                Translate("holds a zero byte, which ends a text read in the system's code page (is "
                          "it UTF-16 saved without byte-order mark?)")};
    }
    return {FromAnsi(bytes.data(), static_cast<int>(bytes.size())), {}};
}

std::string FillMainPageText(std::string_view text, const UploadedPictures& uploadedPictures,
                             const std::string& userNumber) {
    const PictureNames names(uploadedPictures);
    std::string filled;
    filled.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t length = 0;
        const std::string* address = names.LongestAt(text, position, length);
        if (address != nullptr) {
            filled += *address;
            position += length;
        } else {
            filled += text[position++];
        }
    }
    const std::string shopAddress = hosts::Address(hosts::kShop, "/" + userNumber);
    filled = ReplaceAll(filled, kShopUrlMarker, shopAddress);
    return ReplaceAll(filled, kShopIdMarker, userNumber);
}

}  // namespace kesto
