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

class ExclusiveAppendFile {
  public:
    // Opens or creates the file; null when it cannot be opened or another writer holds it.
    static std::unique_ptr<ExclusiveAppendFile> Open(const std::string& path);

    virtual ~ExclusiveAppendFile() = default;
    // Appends the bytes at the end of the file; false when the write failed.
    virtual bool Append(std::string_view bytes) = 0;
};

}  // namespace kesto
