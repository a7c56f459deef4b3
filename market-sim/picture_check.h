#pragma once
// Recognising pictures by their first bytes, as an upload service does before storing one.

#include <string>
#include <string_view>

namespace kesto::sim {

// "jpg", "gif" or "png" by the signature of the bytes; empty for anything else.
std::string PictureKind(std::string_view bytes);

// The MIME type the upload engine names for a file name: image/jpeg for .jpg and .jpeg,
// image/gif for .gif and .png, text/plain otherwise.
std::string UploadMimeType(std::string_view fileName);

// The lower-case extension after the last ".", or the empty text.
std::string LowerExtension(std::string_view fileName);

}  // namespace kesto::sim
