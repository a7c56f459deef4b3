#pragma once
// Where an area update puts its pictures in the album, with only the album calls every
// marketplace answers: each run's pictures go into a folder of their own in the tool's root
// folder, beside the folders of earlier runs, and those are removed whole, by their folder path,
// once the area's new state is saved. Until then the live shop keeps showing the old pictures.
//
// The area's folders are named after the area: "主页面", then "主页面 2", "主页面 3", ... A run
// takes the first of these names the root folder does not hold, so after a successful run one
// folder is left, and the name alternates from run to run. Listing entries are told apart by
// name only: the root folder holds the tool's folders, nothing else.

#include <string>
#include <string_view>
#include <vector>

#include "market/album.h"

namespace kesto {

// Whether name is one of the area's folder names: the area's name, or it followed by a blank
// and a number from 2.
bool IsAreaFolderName(std::string_view areaName, std::string_view name);

// The first of the area's folder names that no item of the root folder carries.
std::string FreshAreaFolderName(std::string_view areaName, const std::vector<AlbumItem>& rootItems);

// The area's folders as the album shows them now, read only.
struct AreaFolders {
    bool rootFound = false;
    std::string rootPath;            // "/rootid/" when the root folder exists
    std::vector<AlbumItem> folders;  // the area's folders in it, in listing order
    std::vector<AlbumItem> rootItems;
};

// Lists the root folder for the area's folders. 1 listed, -1 no answer (or the
// transaction-password page, recorded as the context's lastFailure).
int FindAreaFolders(JobContext& context, std::string_view areaName, AreaFolders& found);

// The folder one run uploads into, and the earlier runs' folders it replaces.
struct AreaFolderRun {
    std::string path;                     // "/rootid/folderid/"
    std::vector<std::string> oldFolders;  // "/rootid/folderid" of each folder to remove later
};

// Makes the run's folder (and the root folder when missing). When the album will not make a
// new folder beside an existing one, the run reuses the existing one and nothing is removed
// later: its old pictures stay, as the trace log says. 1 ready; 0 no folder could be made;
// -1 no answer.
int OpenAreaFolderRun(JobContext& context, std::string_view areaName, AreaFolderRun& run);

// Removes the earlier runs' folders, with what they hold. 1 all removed (or none to remove),
// -1 otherwise (the others are still tried); the trace log names any left behind.
int RemoveOldAreaFolders(JobContext& context, const AreaFolderRun& run);

}  // namespace kesto
