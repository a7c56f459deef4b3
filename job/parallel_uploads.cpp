#include "job/parallel_uploads.h"

#include <charconv>

#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/fill_in.h"

namespace kesto {

std::optional<int> ParseParallelUploads(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    std::from_chars(text.data(), end, value);
    if (value < 1 || value > kMaxParallelUploads) {
        return std::nullopt;
    }
    return value;
}

int ParallelUploadsSetting(std::string_view text, std::string& problem) {
    int parallel = kDefaultParallelUploads;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimmedAscii(text.substr(0, end), " \t\r");
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view name =
            TrimmedAscii(line.substr(0, equals == std::string_view::npos ? line.size() : equals));
        if (equals == std::string_view::npos || name != "parallel") {
            problem = FillIn(Translate("line {} is not parallel=N"), {std::to_string(number)});
            continue;
        }
        const std::optional<int> value =
            ParseParallelUploads(TrimmedAscii(line.substr(equals + 1)));
        if (!value) {
            problem = FillIn(Translate("parallel takes a count from 1 to {} (line {})"),
                             {std::to_string(kMaxParallelUploads), std::to_string(number)});
            parallel = kDefaultParallelUploads;
            continue;
        }
        parallel = *value;
    }
    return parallel;
}

}  // namespace kesto
