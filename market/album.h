#pragma once
// The shop's photo album: the album page check, folder listing, creation and deletion, and the
// two steps the area updates build on them. The tool keeps its pictures in a root folder of its
// own holding one folder per template area. Album paths are "/" for the top and
// "/" + folder id + "/" for a folder. Every request goes with the job's context.

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

struct JobContext;

// The tool's root folder in the album ("5th-generation Kesto decoration").
inline constexpr char kAlbumRootFolder[] = "第五代Kesto装修";
// The area folders: main page and categories.
inline constexpr char kMainPageAlbumFolder[] = "主页面";
inline constexpr char kCategoryAlbumFolder[] = "分类";

// 1 the album page is there; 0 it is not, or the service asks for the transaction password
// (the context is then told); -1 no answer.
int CheckAlbumPage(JobContext& context);

// One entry of a folder's listing: a sub-folder or a picture.
struct AlbumItem {
    bool isFolder = false;
    std::string name;  // trimmed
    std::string id;    // trimmed
};

// Lists the folder at path. 1 listed (items replaced), -1 no answer.
int ListAlbumFolder(JobContext& context, std::string_view path, std::vector<AlbumItem>& items);

// Looks for a folder by exact name in the listing of path. 1 found (id set), 0 not found,
// -1 no answer.
int FindAlbumFolder(JobContext& context, std::string_view name, std::string& id,
                    std::string_view path);

// 1 created (id set), 0 not confirmed, -1 no answer.
int CreateAlbumFolder(JobContext& context, std::string_view parentPath, std::string_view name,
                      std::string& id);

// Deletes an album item (a folder's path without its trailing "/"). 1 answered, -1 no answer.
int DeleteAlbumItems(JobContext& context, std::string_view items);

// The text between "<tag>" and the next "</tag>", untrimmed; false when either is missing.
bool ExtractTag(std::string_view tag, std::string_view text, std::string& content);

// Removes the area's folder with what it holds. 1 removed, 0 otherwise.
int RemoveAreaFolder(JobContext& context, std::string_view areaName);

// Makes the area's folder (and the root folder when it is missing); on success sets path to
// the folder's album path and returns 1, otherwise leaves path as it was and returns 0.
int CreateAreaFolder(JobContext& context, std::string_view areaName, std::string& path);

}  // namespace kesto
