#pragma once
// Reading a whole local file the program was pointed at (a template's page text, a cookie file)
// without trusting it: only a regular file is opened (a FIFO or a device would block or never
// end), and only up to a size limit.

#include <cstdint>
#include <string>

namespace kesto {

enum class FileReadResult {
    kRead,
    kMissing,     // nothing at the path
    kNotRegular,  // a folder, FIFO, device or socket
    kTooLarge,    // larger than the limit
    kUnreadable,  // could not be opened or read
};

// Reads the regular file at path (UTF-8) into bytes when it holds at most limit bytes; bytes is
// left as it was on any other result.
FileReadResult ReadRegularFile(const std::string& path, std::uintmax_t limit, std::string& bytes);

// The words for a result other than kRead, for a failure reason ("is not a regular file"); the
// command line shows them translated.
const char* DescribeFileReadResult(FileReadResult result);

}  // namespace kesto
