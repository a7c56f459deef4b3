#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "support/file_path.h"

namespace kesto::testing {

class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("kesto-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The folder as UTF-8 text ending with the path separator, the form the program passes on.
    std::string Folder() const {
        return PathToUtf8(path_) + static_cast<char>(std::filesystem::path::preferred_separator);
    }

    // Creates a file (and any missing parent folders) below the folder.
    std::filesystem::path Write(std::string_view relative, std::string_view content = {}) const {
        const auto file = path_ / PathFromUtf8(relative);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }

  private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes.
inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kesto::testing
