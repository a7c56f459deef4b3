#pragma once
// How many picture uploads of an area may be under way at once: 1 (one after another) unless the
// user asks for more, at most 8. The marketplace's limits on parallel requests are unknown, so
// more is the user's choice: kesto-decorate --parallel N, or kesto-design's setting file in its
// data folder, which holds lines "name=value" (blank lines and lines starting with '#' are
// skipped), of which "parallel=N" is the one there is.

#include <optional>
#include <string>
#include <string_view>

namespace kesto {

inline constexpr int kDefaultParallelUploads = 1;
inline constexpr int kMaxParallelUploads = 8;

// The file in kesto-design's data folder that holds its settings.
inline constexpr char kDesignSettingsFile[] = "kesto-design.conf";

// A count from 1 to kMaxParallelUploads written in decimal digits alone; nothing otherwise.
std::optional<int> ParseParallelUploads(std::string_view text);

// The count the setting file's text gives: kDefaultParallelUploads without a parallel line. A
// line that cannot be read (a bad count, an unknown name, no '=') sets problem to what is wrong
// with it; a bad count then gives kDefaultParallelUploads.
int ParallelUploadsSetting(std::string_view text, std::string& problem);

}  // namespace kesto
