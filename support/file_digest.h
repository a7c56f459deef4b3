#pragma once

#include <string>

namespace kesto {

// The MD5 digest of the file's bytes as 32 lower-case hex digits, or a single blank " " when the
// file cannot be opened.
std::string FileMd5Hex(const std::string& path);

}  // namespace kesto
