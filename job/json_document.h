#pragma once
// The JSON documents the command line prints for scripts (--check, --plan): indented, UTF-8 text
// as it is (no \u escapes), ending with a line break.

#include <json/value.h>
#include <json/writer.h>

#include <string>

namespace kesto {

inline std::string JsonDocumentText(const Json::Value& document) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, document) + "\n";
}

}  // namespace kesto
