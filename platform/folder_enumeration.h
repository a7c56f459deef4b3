#pragma once
// The file-system layer's folder enumeration, shaped after the Win32 find-first/find-next pair:
// every entry the file system holds, "." and ".." included, in the order it delivers them.
// Backends beside this file: win32/folder_enumeration_win32.cpp (FindFirstFileW),
// posix/folder_enumeration_posix.cpp (readdir).
//
// Contract
// - Blocking: only on the local file system.
// - Errors: LastError gives Windows error numbers (kNoMoreEntries is ERROR_NO_MORE_FILES) on
//   every system, since the listing's trace lines print them; the POSIX backend reports its
//   errno there.

#include <cstdint>
#include <memory>
#include <string>

namespace kesto {

struct FolderEntry {
    std::string name;  // bare entry name, UTF-8
    bool isFolder = false;
};

class FolderEnumeration {
  public:
    // The error code that marks the normal end of an enumeration (ERROR_NO_MORE_FILES).
    static constexpr std::uint32_t kNoMoreEntries = 18;

    // Starts enumerating the folder (a path ending with the separator) and delivers its first
    // entry; null when the folder cannot be opened for enumeration.
    static std::unique_ptr<FolderEnumeration> Start(const std::string& folder, FolderEntry& first);

    virtual ~FolderEnumeration() = default;
    // The next entry; false at the end or on an error, which LastError() then tells apart.
    virtual bool Next(FolderEntry& entry) = 0;
    // kNoMoreEntries after a normal end, otherwise the system's error code.
    virtual std::uint32_t LastError() const = 0;
};

}  // namespace kesto
