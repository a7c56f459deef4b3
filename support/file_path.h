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

// The system's path separator ('\\' on Windows, '/' elsewhere).
inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

// The folder path with a separator at its end ('/' is taken as one on every system).
inline std::string WithTrailingSeparator(std::string folder) {
    if (folder.empty() || (folder.back() != kPathSeparator && folder.back() != '/')) {
        folder += kPathSeparator;
    }
    return folder;
}

inline std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace kesto
