#pragma once
// The program keeps paths as UTF-8 text; the standard library opens files by path object, which
// on Windows carries the UTF-16 form the file system needs.

#include <filesystem>
#include <string>
#include <string_view>

namespace kesto {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace kesto
