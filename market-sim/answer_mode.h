#pragma once
// How much the marketplace's success answers carry. kRich answers with everything the server
// knows (error codes of zero, names and types beside ids, echoed fields); kDocumented answers
// with only the markers a client is promised, so that tests show whether the client leans on
// anything more.

#include <optional>
#include <string_view>

namespace kesto::sim {

enum class AnswerMode { kRich, kDocumented };

// "rich" or "documented"; no value for any other text.
std::optional<AnswerMode> ParseAnswerMode(std::string_view text);
std::string_view AnswerModeName(AnswerMode mode);

}  // namespace kesto::sim
