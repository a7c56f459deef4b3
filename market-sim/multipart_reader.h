#pragma once
// Reading multipart/form-data bodies byte for byte. The server keeps each part's header lines as
// they arrived, so that every endpoint can insist on the exact format its clients send.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::sim {

struct MultipartPart {
    std::vector<std::string> headerLines;  // as sent, without their CR LF
    std::string name;                      // from the disposition line
    std::optional<std::string> fileName;   // present when the disposition names a file
    std::string data;
};

struct MultipartBody {
    std::vector<MultipartPart> parts;
    bool finalLineBreak = false;  // a CR LF followed the closing delimiter
};

struct MultipartResult {
    std::optional<MultipartBody> body;
    std::string error;  // why the body was refused, when it was
};

// The boundary named by a Content-Type value "multipart/form-data<sep>boundary=B"; empty when
// the value is not of that kind.
std::string MultipartBoundary(std::string_view contentType);

// Splits the body: "--B" CRLF, parts separated by CRLF "--B" CRLF, CRLF "--B--" at the end with
// at most one CRLF after it. Every part needs a disposition line with a quoted name.
MultipartResult ParseMultipart(std::string_view body, std::string_view boundary);

// The text parts (those without a file name) as name/value pairs in their order.
std::vector<std::pair<std::string, std::string>> TextParts(const MultipartBody& body);

}  // namespace kesto::sim
