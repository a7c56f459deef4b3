#include "job/main_page_text.h"

#include <algorithm>

#include "market/hosts.h"
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

}  // namespace

MainFolderContent ClassifyMainFolder(const std::vector<std::string>& names) {
    MainFolderContent content;
    for (const std::string& name : names) {
        if (name.empty() || name.front() == '.') {
            continue;
        }
        if (EndsWithIgnoringAsciiCase(name, ".jpg") || EndsWithIgnoringAsciiCase(name, ".jpeg") ||
            EndsWithIgnoringAsciiCase(name, ".gif")) {
            content.pictures.push_back(name);
        } else if (EndsWithIgnoringAsciiCase(name, ".txt")) {
            content.contentFile = name;
        }
    }
    return content;
}

std::string DecodeContentFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return Utf16ToUtf8(DecodeUtf16(bytes.substr(2), false));
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Utf16ToUtf8(DecodeUtf16(bytes.substr(2), true));
    }
    const std::size_t zero = bytes.find('\0');
    const std::string_view text = bytes.substr(0, zero);
    return FromAnsi(text.data(), static_cast<int>(text.size()));
}

std::string FillMainPageText(std::string_view text, const UploadedPictures& uploadedPictures,
                             const std::string& userNumber) {
    std::string filled;
    std::size_t position = 0;
    while (position < text.size()) {
        const UploadedPictures::value_type* longest = nullptr;
        for (const auto& picture : uploadedPictures) {
            if (!picture.first.empty() && text.substr(position).starts_with(picture.first) &&
                (longest == nullptr || picture.first.size() > longest->first.size())) {
                longest = &picture;
            }
        }
        if (longest != nullptr) {
            filled += longest->second;
            position += longest->first.size();
        } else {
            filled += text[position++];
        }
    }
    const std::string shopAddress = hosts::Address(hosts::kShop, "/" + userNumber);
    filled = ReplaceAll(filled, kShopUrlMarker, shopAddress);
    return ReplaceAll(filled, kShopIdMarker, userNumber);
}

}  // namespace kesto
