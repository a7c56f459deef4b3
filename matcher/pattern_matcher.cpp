#include "matcher/pattern_matcher.h"

#include <memory>

#include "matcher/pattern_cache.h"
#include "matcher/pattern_machine.h"
#include "support/utf16.h"

namespace kesto {

bool FindCaptures(std::u16string_view input, std::u16string_view pattern,
                  std::vector<std::u16string>& captures) {
    const std::shared_ptr<const PreparedPattern> prepared =
        SharedPatternCache().Get(pattern, CaseMode::kInsensitive);
    if (!prepared || prepared->Program().lastError != kPatternOk) {
        return false;
    }
    MatchState state;
    if (!MatchPattern(*prepared, input, state)) {
        return false;
    }
    const std::size_t before = captures.size();
    captures.reserve(before + state.groups.size());
    for (const GroupSpan& group : state.groups) {
        if (group.start != kUnsetPosition && group.end != kUnsetPosition &&
            group.start <= group.end) {
            const auto start = static_cast<std::size_t>(group.start);
            captures.emplace_back(input.substr(start, static_cast<std::size_t>(group.end) - start));
        }
    }
    return captures.size() > before;
}

bool FindCaptures(std::string_view input, std::string_view pattern,
                  std::vector<std::string>& captures) {
    std::vector<std::u16string> found;
    if (!FindCaptures(Utf8ToUtf16(input), Utf8ToUtf16(pattern), found)) {
        return false;
    }
    for (const std::u16string& capture : found) {
        captures.push_back(Utf16ToUtf8(capture));
    }
    return true;
}

}  // namespace kesto
