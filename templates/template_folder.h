#pragma once
// A template folder read once: what its shop sign, main page and category areas hold, in the
// order the file system lists them, with each file's size and modification time as they were
// read, and what the job leaves out and why. The check, the plan, the job and the preview all
// work from this one reading, so that the job uploads the very files the check passed and a file
// that changed since is noticed (ChangedSinceRead).
//
// Layout of a template folder T:
//   T/head/   the shop sign: the first gif, jpg or jpeg (FindFirstPicture)
//   T/main/   the main page: its jpg, jpeg and gif pictures and one page text (.txt)
//   T/class/  the categories: one folder per top-level category, holding its picture and one
//             picture per sub-category

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/bounded_file.h"
#include "templates/template_names.h"

namespace kesto {

// The most a main page text file may hold: the saved text of a shop's main page is a few
// kilobytes, and a file without end (a device) must not grow memory without limit.
inline constexpr std::uintmax_t kPageTextLimitBytes = std::uintmax_t{1} << 20;

// One file of the template as it was read.
struct TemplateFile {
    std::string name;      // its name in its folder ("sign.gif")
    std::string relative;  // from the template folder, native separators ("head/sign.gif")
    std::string path;      // the template folder's path + relative
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool measured = false;  // false: its size and time could not be read
};

// Whether the file is no longer as it was read: its size or modification time differ now, or
// either cannot be read (now or then).
bool ChangedSinceRead(const TemplateFile& file);

// Why a file that is not as it was read is refused, in the words the uploader uses for a file
// that changed under it.
std::string DescribeChangedFile(const std::string& path);

// One folder of the template as listed: its files and its folders, each in listing order.
struct ListedFolder {
    std::string relative;  // from the template folder ("main", "class/Hats"); empty for itself
    std::string path;      // ending with the path separator
    bool exists = false;   // a folder is there (reached through a link or not)
    bool listed = false;   // its listing ran to its end
    bool tooLong = false;  // its path is longer than a listing takes (kMaxListedFolderChars)
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// Why an entry of an area folder is left out.
enum class SkipReason {
    kFolder,             // a folder where the area takes files
    kNotAPicture,        // main: neither jpg, jpeg, gif nor the page text
    kNotThePageText,     // main: a .txt other than the last one listed
    kNotTheSignPicture,  // head: a picture after the first shop sign picture
    kNoSignPictureName,  // head holds no shop sign picture: a picture named otherwise
    kThumbnailCache,     // a category folder's "thumbs.db"
};

struct SkippedEntry {
    std::string relative;  // from the template folder; "class/C/thumbs.db" for the cache
    SkipReason reason = SkipReason::kFolder;
};

struct SignFolder {  // "head"
    ListedFolder folder;
    std::vector<SkippedEntry> skipped;    // its folders, then its files, in listing order
    std::optional<TemplateFile> picture;  // the first shop sign picture; none without one
};

enum class PageTextEncoding {
    kUtf8Mark,   // UTF-8 with its byte-order mark
    kUtf16Mark,  // UTF-16 with its byte-order mark (either byte order)
    kCodePage,   // no byte-order mark: the system's code page
};

struct PageText {
    TemplateFile file;
    FileReadResult read = FileReadResult::kUnreadable;
    std::string bytes;  // the whole file when read is kRead
    PageTextEncoding encoding = PageTextEncoding::kCodePage;
};

struct MainFolder {  // "main"
    ListedFolder folder;
    std::vector<SkippedEntry> skipped;   // its folders, then its files, in listing order
    std::vector<TemplateFile> pictures;  // in listing order, the order they are uploaded in
    std::optional<PageText> pageText;    // the last .txt listed; none without one
};

// One category folder of "class": the top-level category and its sub-categories.
struct TemplateCategory {
    ListedFolder folder;
    std::vector<SkippedEntry> skipped;  // its folders, then its thumbnail cache
    CategoryFolder tree;                // the categories' pictures and names
    // The pictures in upload order: the top-level category's first (when it has one), then
    // the sub-categories' in the order of tree.subcategories.
    std::vector<TemplateFile> pictures;
};

struct ClassFolder {  // "class"
    ListedFolder folder;
    std::vector<TemplateCategory> categories;  // one per folder, in listing order
};

// Which areas to read; the template folder itself is always listed.
struct TemplateAreas {
    bool shopSign = false;
    bool mainPage = false;
    bool categories = false;
};

struct TemplateFolder {
    std::string path;  // ending with the path separator
    bool exists = false;
    // It holds a head, main or class folder; when it does not, templatesInside names those of
    // its folders that do (a folder of templates chosen instead of one).
    bool isTemplate = false;
    std::vector<std::string> templatesInside;
    ListedFolder top;  // the template folder itself: the preview picture is among its files
    // The areas asked for; those not asked for stay empty.
    SignFolder head;
    MainFolder main;
    ClassFolder categories;
};

// Reads the template folder (a path with or without a separator at its end) and the areas asked
// for. Reads nothing but the listings, the files' sizes and times and the page text; a missing
// or unreadable part is recorded as such, never thrown.
TemplateFolder ReadTemplateFolder(const std::string& folder, const TemplateAreas& areas);

}  // namespace kesto
