#pragma once
// What the entries of a template's folders are, by their names alone: the shop sign picture of
// "head", the pictures and the page text of "main", and each category folder's pictures in
// "class".

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// Whether a name ends in .jpg, .jpeg or .gif (letter case ignored): the pictures a template's
// main folder and page text are made of.
bool HasPictureEnding(std::string_view name);

// The first name whose extension (everything after its first '.') is gif, jpg or jpeg, compared
// case-insensitively; empty when none is. It picks the shop sign picture of a template's "head"
// folder and the preview picture of a template folder.
std::string FindFirstPicture(const std::vector<std::string>& names);

struct MainFolderContent {
    std::vector<std::string> pictures;  // .jpg, .jpeg, .gif, in listing order
    std::string contentFile;            // the last .txt in listing order; empty when none
};

// Sorts the listed names of the main folder (letter case of the endings ignored; names starting
// with '.' ignored).
MainFolderContent ClassifyMainFolder(const std::vector<std::string>& names);

struct CategoryPicture {
    std::string entry;  // the entry's name in its category folder; empty for none
    std::string name;   // the category's name: the entry's name up to its first '.'
};

struct CategoryFolder {
    std::string folder;  // the category folder's name in the class folder
    CategoryPicture top;
    std::vector<CategoryPicture> subcategories;
};

// The category name an entry gives: its name up to the first '.', empty without one.
std::string CategoryName(std::string_view entry);

// Whether an entry is the picture cache some systems leave in a folder ("thumbs.db", any letter
// case), which no category is made of.
bool IsThumbnailCache(std::string_view entry);

// Sorts one category folder's listed entries: the first "thumbs.db" (any letter case) is
// dropped; the first entry without '-' is the top-level category's picture; every other entry
// is a sub-category, in listing order.
CategoryFolder SortCategoryEntries(std::string folder, std::vector<std::string> entries);

}  // namespace kesto
