#include "support/temporary_file.h"

#include <cstdio>
#include <fstream>
#include <random>

#include "support/file_path.h"

namespace kesto {

TemporaryFile::TemporaryFile(std::string_view prefix) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
    std::random_device device;
    std::mt19937 generator(device());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "%X.tmp", static_cast<unsigned>(generator() & 0xFFFFF));
        const std::filesystem::path candidate = folder / PathFromUtf8(std::string(prefix) + name);
        if (std::filesystem::exists(candidate, error)) {
            continue;
        }
        if (std::ofstream(candidate, std::ios::binary)) {
            path_ = PathToUtf8(candidate);
            return;
        }
    }
}

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(PathFromUtf8(path_), ignored);
    }
}

}  // namespace kesto
