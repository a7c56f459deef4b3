#pragma once
// A new, empty file with a unique name in the system's temporary folder, removed when the
// object goes away, on every path.

#include <filesystem>
#include <string>
#include <string_view>

namespace kesto {

class TemporaryFile {
  public:
    // Creates "<prefix><hex number>.tmp"; path() is empty when no file could be created.
    explicit TemporaryFile(std::string_view prefix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The file's full path as UTF-8 text.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace kesto
