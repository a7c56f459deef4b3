#pragma once
// A file that one writer holds open for appending while others may only read it: a second
// writer, in this process or another, cannot open it. Backends beside this file:
// win32/exclusive_file_win32.cpp (the share mode), posix/exclusive_file_posix.cpp (an exclusive
// advisory lock on the file).
//
// Contract: Open never waits for another writer (it fails instead); Append blocks only on the
// local disk. Errors: null or false, with no error number.

#include <memory>
#include <string>
#include <string_view>

namespace kesto {

// Creates a new, empty file at path (UTF-8), readable and writable by the user alone; false when
// anything already stands at the path, a link included (never followed), or it cannot be made.
// Two processes can never both create the same name.
bool CreateNewFile(const std::string& path);

class ExclusiveAppendFile {
  public:
    // Opens or creates the file; null when it cannot be opened, another writer holds it, or
    // anything but a regular file stands at the path (a link is never followed, a FIFO never
    // waited on).
    static std::unique_ptr<ExclusiveAppendFile> Open(const std::string& path);

    virtual ~ExclusiveAppendFile() = default;
    // Appends the bytes at the end of the file; false when the write failed.
    virtual bool Append(std::string_view bytes) = 0;
};

}  // namespace kesto
