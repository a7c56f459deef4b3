#include "support/file_digest.h"

#include <fstream>

#include "platform/md5.h"
#include "support/file_path.h"

namespace kesto {

std::string FileMd5Hex(const std::string& path) {
    const std::filesystem::path filePath = PathFromUtf8(path);
    std::error_code error;
    std::ifstream file;
    // Only a regular file: opening a FIFO would block until something writes to it.
    if (std::filesystem::is_regular_file(filePath, error)) {
        file.open(filePath, std::ios::binary);
    }
    if (!file.is_open()) {
        return " ";
    }
    Md5 md5;
    char block[1024];
    while (file.read(block, sizeof block) || file.gcount() > 0) {
        md5.Update(block, static_cast<std::size_t>(file.gcount()));
    }
    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : md5.Finish()) {
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace kesto
