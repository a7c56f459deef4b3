#pragma once
// Listing one local folder by name, for the template handling. No operation recurses. Names
// come in one defined order on every system (NameListedBefore), not in the file system's own: a
// template then gives the same shop, plan and progress wherever it is read.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The listing's order, as the Windows file system keeps a folder's names: UTF-16 code units
// compared one by one, ASCII letters as capitals ("A.jpg" < "b.jpg" < "Z" < "_x" < "包包" <
// "连衣裙"); names equal that way (they differ in case alone) in their exact code units.
bool NameListedBefore(std::string_view a, std::string_view b);

// The longest folder path (in UTF-16 code units, the separator at its end included) a listing
// takes: the search pattern, path plus "*", must fit in 259 characters.
inline constexpr std::size_t kMaxListedFolderChars = 258;

// Whether the folder's path is longer than a listing takes.
bool FolderPathTooLongToList(std::string_view folder);

// Appends the names of all entries (files and folders) of the folder, a path ending with the
// path separator, to names; names starting with '.' are skipped. Returns 1 when the listing ran
// to its end; -1 when the folder cannot be listed, its path is too long (the search pattern,
// path plus "*", must fit in 259 characters) or the listing broke off (names found so far stay).
// The names appended come in NameListedBefore's order. Each delivered entry gets a line in the
// trace log, in the file system's order, none on standard output.
int ListEntries(const std::string& folder, std::vector<std::string>& names);

// As ListEntries, but only folders.
int ListSubfolders(const std::string& folder, std::vector<std::string>& names);

// As ListEntries, but no folders: where a template's files are picked by their names, a folder
// named like one ("notes.txt", "sign.jpg") is not one of them.
int ListFiles(const std::string& folder, std::vector<std::string>& names);

// ListFiles and ListSubfolders from one listing: the files to files, the folders to folders.
int ListFilesAndFolders(const std::string& folder, std::vector<std::string>& files,
                        std::vector<std::string>& folders);

}  // namespace kesto
