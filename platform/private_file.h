#pragma once
// Writing a file only the current user may read, such as the cookies.txt the desktop program's
// login leaves behind for kesto-decorate (market/login_cookie_file.h).
// Backends beside this file: win32/private_file_win32.cpp, posix/private_file_posix.cpp.
//
// Contract: blocks only on the local disk; the file is replaced in one step (a temporary beside
// it, then a rename), so a reader never sees half a file. Only the user who saves it may read it:
// POSIX: mode 0600 in a folder made with mode 0700; Windows: a protected DACL granting the
// current user alone, given to the file when it is created.

#include <string>

namespace kesto {

// Replaces the file at path with content in one step, readable by the current user only (see
// above; a missing folder is made, with mode 0700 on POSIX). False when that fails; the old file is
// then left as it was.
bool SavePrivateFile(const std::string& path, const std::string& content);

}  // namespace kesto
