#pragma once
// Writing the cookies.txt the desktop program's login leaves behind for kesto-decorate, readable
// by the user alone.

#include <string>

namespace kesto {

// Replaces the file at path with content in one step (mode 0600; a missing folder is made with
// mode 0700). False when that fails; the old file is then left as it was.
bool SaveLoginCookieFile(const std::string& path, const std::string& content);

}  // namespace kesto
