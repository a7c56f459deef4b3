#include "upload/multipart_format.h"

#include "support/ascii_text.h"
#include "support/text_conversion.h"

namespace kesto::multipart {

namespace {

std::string EscapeQuoted(std::string_view bytes) {
    std::string escaped;
    escaped.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
            case '"':
                escaped += "%22";
                break;
            case '\r':
                escaped += "%0D";
                break;
            case '\n':
                escaped += "%0A";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

std::string ContentTypeLine(std::string_view boundary) {
    return "Content-Type: multipart/form-data, boundary=" + std::string(boundary) + "\r\n";
}

std::string MimeTypeOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return "text/plain";
    }
    const std::string extension = AsciiLower(path.substr(dot));
    if (extension == ".jpg" || extension == ".jpeg") {
        return "image/jpeg";
    }
    if (extension == ".gif" || extension == ".png") {
        return "image/gif";
    }
    return "text/plain";
}

std::string QuotedParameter(std::string_view utf8) {
    return EscapeQuoted(ToMarketplace(utf8));
}

std::string FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return QuotedParameter(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string FieldsBlock(std::string_view boundary, const Fields& fields) {
    std::string block;
    for (const auto& [name, value] : fields) {
        block += "\r\n--";
        block += boundary;
        block += "\r\nContent-Disposition: form-data; name=\"" + QuotedParameter(name) +
                 "\"\r\n\r\n" + ToMarketplace(value);
    }
    return block;
}

std::string SingleHead(std::string_view boundary, std::string_view partName,
                       std::string_view fileName, std::string_view mimeType) {
    std::string head = "--" + std::string(boundary) + "\r\n";
    head += "Content-Disposition: form-data; name=\"" + std::string(partName) + "\"; filename=\"" +
            std::string(fileName) + "\"\r\n";
    head += "Content-Type:" + std::string(mimeType) + "\r\n\r\n";
    return head;
}

std::string ChunkHead(std::string_view boundary, std::uint64_t offset, bool last,
                      std::string_view partName, std::string_view fileName,
                      std::string_view mimeType) {
    const std::string delimiter = "--" + std::string(boundary) + "\r\n";
    std::string head = delimiter;
    head += "Content-Disposition: form-data; name=\"offset\"\r\n";
    head += "\r\n" + std::to_string(offset) + "\r\n" + delimiter;
    if (last) {
        head += "Content-Disposition: form-data; name=\"__end\"\r\n";
        head += "\r\n1\r\n" + delimiter;
    }
    head += "Content-Disposition: form-data; name=\"" + std::string(partName) + "\"; filename=\"" +
            std::string(fileName) + "\"\r\n";
    head += "Content-Type:" + std::string(mimeType) + "\r\n\r\n";
    return head;
}

std::string BatchPartHead(std::string_view partName, std::string_view fileName,
                          std::string_view mimeType) {
    std::string head = "Content-disposition: form-data; name=\"" + std::string(partName) +
                       "\";filename=\"" + std::string(fileName) + "\"\r\n";
    head += "Content-type: " + std::string(mimeType) + "\r\n";
    head += "Content-Transfer-Encoding: binary\r\n\r\n";
    return head;
}

std::string Tail(std::string_view boundary) {
    return "\r\n--" + std::string(boundary) + "--\r\n";
}

}  // namespace kesto::multipart
