#include "market-sim/multipart_reader.h"

#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// The quoted value after key (for example name=") in the line, or no value.
std::optional<std::string> QuotedValue(std::string_view line, std::string_view key) {
    const std::string lower = AsciiLower(line);
    std::size_t at = 0;
    while ((at = lower.find(key, at)) != std::string::npos) {
        // The key must start a parameter, so that name=" is not found inside filename=".
        if (at > 0 && lower[at - 1] != ';' && lower[at - 1] != ' ') {
            at += key.size();
            continue;
        }
        const auto start = at + key.size();
        const auto end = line.find('"', start);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        return std::string(line.substr(start, end - start));
    }
    return std::nullopt;
}

std::optional<MultipartPart> ParsePart(std::string_view raw, std::string& error) {
    const auto headerEnd = raw.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos) {
        error = "a part has no blank line after its headers";
        return std::nullopt;
    }
    MultipartPart part;
    std::string_view headers = raw.substr(0, headerEnd);
    while (true) {
        const auto end = headers.find(kLineBreak);
        part.headerLines.emplace_back(headers.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        headers.remove_prefix(end + kLineBreak.size());
    }
    part.data = std::string(raw.substr(headerEnd + 4));
    for (const auto& line : part.headerLines) {
        if (AsciiLower(line).rfind("content-disposition:", 0) != 0) {
            continue;
        }
        const auto name = QuotedValue(line, "name=\"");
        if (!name || name->empty()) {
            error = "a part's disposition names no field";
            return std::nullopt;
        }
        part.name = *name;
        part.fileName = QuotedValue(line, "filename=\"");
        return part;
    }
    error = "a part has no Content-Disposition line";
    return std::nullopt;
}

}  // namespace

std::string MultipartBoundary(std::string_view contentType) {
    constexpr std::string_view kType = "multipart/form-data";
    if (AsciiLower(contentType).rfind(kType, 0) != 0) {
        return {};
    }
    const auto key = AsciiLower(contentType).find("boundary=");
    if (key == std::string::npos) {
        return {};
    }
    std::string boundary(contentType.substr(key + 9));
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"') {
        boundary = boundary.substr(1, boundary.size() - 2);
    }
    return boundary;
}

MultipartResult ParseMultipart(std::string_view body, std::string_view boundary) {
    MultipartResult result;
    if (boundary.empty()) {
        result.error = "no multipart boundary";
        return result;
    }
    const std::string opening = "--" + std::string(boundary) + "\r\n";
    const std::string separator = "\r\n--" + std::string(boundary);
    if (body.substr(0, opening.size()) != opening) {
        result.error = "the body does not start with the boundary line";
        return result;
    }
    MultipartBody parsed;
    std::size_t start = opening.size();
    while (true) {
        const auto end = body.find(separator, start);
        if (end == std::string_view::npos) {
            result.error = "the closing boundary is missing";
            return result;
        }
        auto part = ParsePart(body.substr(start, end - start), result.error);
        if (!part) {
            return result;
        }
        parsed.parts.push_back(std::move(*part));
        const std::string_view after = body.substr(end + separator.size());
        if (after.substr(0, 2) == "--") {
            const std::string_view rest = after.substr(2);
            if (!rest.empty() && rest != kLineBreak) {
                result.error = "bytes follow the closing boundary";
                return result;
            }
            parsed.finalLineBreak = !rest.empty();
            result.body = std::move(parsed);
            return result;
        }
        if (after.substr(0, 2) != kLineBreak) {
            result.error = "a boundary line is not followed by a line break";
            return result;
        }
        start = end + separator.size() + kLineBreak.size();
    }
}

std::vector<std::pair<std::string, std::string>> TextParts(const MultipartBody& body) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& part : body.parts) {
        if (!part.fileName) {
            fields.emplace_back(part.name, part.data);
        }
    }
    return fields;
}

}  // namespace kesto::sim
