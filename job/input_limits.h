#pragma once
// How much the job reads from a template or takes from the user's files, at most: limits that
// keep a wrong or hostile file from exhausting memory.

#include <cstdint>

namespace kesto {

// A main page's text file: far beyond any real page, far below what would strain memory.
inline constexpr std::uintmax_t kMaxPageTextBytes = 1024 * 1024;

}  // namespace kesto
