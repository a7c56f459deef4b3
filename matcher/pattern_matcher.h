#pragma once
// Picks values out of server pages with the program's own patterns (see pattern_compiler.h).

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// Compiles the pattern in the case-insensitive mode (once per process: see pattern_cache.h)
// and runs one match over the input. On a match, appends for each capture group in number
// order whose start and end are both set the input's own text between them (an empty capture
// gives an empty string). Returns whether anything was appended; on a compile error or no match
// the list is left untouched. Safe to call from several threads at once.
bool FindCaptures(std::u16string_view input, std::u16string_view pattern,
                  std::vector<std::u16string>& captures);

// The same over UTF-8 text; matching still runs on UTF-16 code units.
bool FindCaptures(std::string_view input, std::string_view pattern,
                  std::vector<std::string>& captures);

}  // namespace kesto
