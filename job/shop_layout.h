#pragma once
// The shop layout document: the banner segment and the frame segments with their modules, as
// the manage host's layoutshow answers it, the edits a decoration makes to it (a shop header
// module for the shop sign, a fresh custom-content module for the main page) and its flattening
// into the caret-separated layout text that layoutupdate takes.
//
// The document's texts are UTF-8 here; the request layer converts the flattened text to the
// bytes the service takes.

#include <json/value.h>

#include <string>
#include <string_view>

namespace kesto {

// The JSON text of the layout in a layoutshow answer: from just after the first "\"data\":" up
// to (not including) the last "}", cut short at the end of the answer.
std::string ExtractLayoutDocument(std::string_view answer);

// Parses the layout text into layout (comments allowed, any root value, text after the first
// complete value ignored). A document without "shopBanner" takes its first frame as the banner.
// Returns 1, or 0 when the text does not parse (layout is then untouched).
int ParseShopLayout(std::string_view text, Json::Value& layout);

// Whether the document has the shape the edits and the flattening work on: an object with a
// banner object, frames in an array, modules in arrays, every segment and module an object (or
// null). A layout answer without such a document is never edited or sent back.
bool IsEditableLayout(const Json::Value& layout);

// Marks the banner's modules for removal and appends a new shop header module. Returns 1, or 0
// when the banner already holds a shop header module (marks made before finding it stay).
int AddShopHeader(Json::Value& layout);

// Marks the first frame's custom-content modules of column 1 for removal. 1, or -1 without
// frames.
int MarkOldCustomContent(Json::Value& layout);

// Adds a new custom-content module to the first frame. 1, or -1 when nothing was added.
int AddCustomContent(Json::Value& layout);

// The layout text: one line per segment and kept module, joined by "|".
std::string BuildLayoutInfo(const Json::Value& layout);

}  // namespace kesto
