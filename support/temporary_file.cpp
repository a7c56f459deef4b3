#include "support/temporary_file.h"

#include <cstdio>
#include <random>

#include "platform/exclusive_file.h"
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
        const std::string candidate = PathToUtf8(folder / PathFromUtf8(std::string(prefix) + name));
        // Created exclusively: a name another process took, or a link someone left there, is
        // passed over rather than shared or followed.
        if (CreateNewFile(candidate)) {
            path_ = candidate;
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
