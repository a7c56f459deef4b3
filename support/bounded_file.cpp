#include "support/bounded_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/translation.h"
#include "support/file_path.h"

namespace kesto {

FileReadResult ReadRegularFile(const std::string& path, std::uintmax_t limit, std::string& bytes) {
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return FileReadResult::kMissing;
    }
    if (error) {
        return FileReadResult::kUnreadable;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        return FileReadResult::kNotRegular;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return FileReadResult::kUnreadable;
    }
    if (size > limit) {
        return FileReadResult::kTooLarge;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return FileReadResult::kUnreadable;
    }
    // Read one byte past the size measured, so a file that grew since is refused, not cut.
    std::string read(static_cast<std::size_t>(size) + 1, '\0');
    in.read(read.data(), static_cast<std::streamsize>(read.size()));
    if (in.bad()) {
        return FileReadResult::kUnreadable;
    }
    const auto count = static_cast<std::uintmax_t>(in.gcount());
    if (count > limit) {
        return FileReadResult::kTooLarge;
    }
    read.resize(static_cast<std::size_t>(count));
    bytes = std::move(read);
    return FileReadResult::kRead;
}

const char* DescribeFileReadResult(FileReadResult result) {
    switch (result) {
        case FileReadResult::kRead:
            return TranslatedLater("was read");
        case FileReadResult::kMissing:
            return TranslatedLater("does not exist");
        case FileReadResult::kNotRegular:
            return TranslatedLater("is not a regular file");
        case FileReadResult::kTooLarge:
            return TranslatedLater("is too large");
        case FileReadResult::kUnreadable:
            return TranslatedLater("cannot be read");
    }
    return TranslatedLater("cannot be read");
}

}  // namespace kesto
