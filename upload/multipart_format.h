#pragma once
// The byte formats of the uploader's multipart bodies: the fields block, the heads of the single,
// chunked and batch formats, the closing delimiter and the MIME type table. All texts are in the
// marketplace's code page; names and file names that go into quoted parameters have '"', CR and LF
// escaped as %22, %0D and %0A, so that no name can end its parameter or start a new header.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto::multipart {

using Fields = std::vector<std::pair<std::string, std::string>>;

// "Content-Type: multipart/form-data, boundary=<boundary>\r\n" (a blank after the comma).
std::string ContentTypeLine(std::string_view boundary);

// "image/jpeg", "image/gif" (also for .png) or "text/plain", from the path's last '.'.
std::string MimeTypeOf(std::string_view path);

// The path's part after its last separator, in the marketplace's code page, escaped for a quoted
// parameter.
std::string FileNameOf(std::string_view path);

// A name in the marketplace's code page with '"', CR and LF escaped.
std::string QuotedParameter(std::string_view utf8);

// Each field preceded by CR LF and the delimiter: "\r\n--B\r\nContent-Disposition: form-data;
// name=\"n\"\r\n\r\nv"; empty without fields.
std::string FieldsBlock(std::string_view boundary, const Fields& fields);

// "--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"x\"\r\nContent-Type:m\r\n\r\n".
std::string SingleHead(std::string_view boundary, std::string_view partName,
                       std::string_view fileName, std::string_view mimeType);

// The head of one chunk: the offset part, the "__end" part on the last chunk, then the file
// part's head as in the single format without its leading delimiter.
std::string ChunkHead(std::string_view boundary, std::uint64_t offset, bool last,
                      std::string_view partName, std::string_view fileName,
                      std::string_view mimeType);

// The head of one file part of the batch format (its own header spelling).
std::string BatchPartHead(std::string_view partName, std::string_view fileName,
                          std::string_view mimeType);

// "\r\n--B--\r\n".
std::string Tail(std::string_view boundary);

}  // namespace kesto::multipart
