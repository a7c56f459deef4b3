#include "market-sim/picture_check.h"

#include "support/ascii_text.h"

namespace kesto::sim {

std::string PictureKind(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF") {
        return "jpg";
    }
    if (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a") {
        return "gif";
    }
    if (bytes.substr(0, 8) == "\x89PNG\r\n\x1A\n") {
        return "png";
    }
    return {};
}

std::string LowerExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string() : AsciiLower(fileName.substr(dot + 1));
}

std::string UploadMimeType(std::string_view fileName) {
    const std::string extension = LowerExtension(fileName);
    if (extension == "jpg" || extension == "jpeg") {
        return "image/jpeg";
    }
    if (extension == "gif" || extension == "png") {
        return "image/gif";
    }
    return "text/plain";
}

}  // namespace kesto::sim
