#pragma once
// Telling a link from the entry it leads to, and where it leads, so that a template's files can
// be kept to its own folder. A link is a symbolic link, and on Windows any reparse point
// (symbolic link, junction, mount point).
// Backends beside this file: posix/file_links_posix.cpp (lstat, realpath),
// win32/file_links_win32.cpp (GetFileAttributesW, GetFinalPathNameByHandleW).
//
// Contract: blocks only on the local file system; a separator at the end of a path is ignored.

#include <string>

namespace kesto {

// Whether the entry at path is itself a link (the link is not followed). False when there is no
// such entry.
bool IsLink(const std::string& path);

// The absolute path the entry at path stands at once every link on the way is followed, in the
// system's own spelling (no separator at its end unless it is a root); empty when it cannot be
// told (no such entry, a link whose target is missing, no access).
std::string ResolvedPath(const std::string& path);

}  // namespace kesto
