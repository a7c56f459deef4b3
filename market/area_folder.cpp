#include "market/area_folder.h"

#include <algorithm>
#include <utility>

#include "support/trace_log.h"

namespace kesto {

namespace {

bool IsDecimal(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string NumberedName(std::string_view areaName, int number) {
    std::string name(areaName);
    if (number > 1) {
        name += " " + std::to_string(number);
    }
    return name;
}

// The old folder to reuse when no new one can be made: the one named like the area, else the
// first of the area's folders; null when there is none.
const AlbumItem* FolderToReuse(std::string_view areaName, const std::vector<AlbumItem>& folders) {
    const auto exact = std::find_if(folders.begin(), folders.end(),
                                    [&](const AlbumItem& item) { return item.name == areaName; });
    if (exact != folders.end()) {
        return &*exact;
    }
    return folders.empty() ? nullptr : &folders.front();
}

}  // namespace

bool IsAreaFolderName(std::string_view areaName, std::string_view name) {
    if (name == areaName) {
        return true;
    }
    if (name.size() <= areaName.size() + 1 || name.substr(0, areaName.size()) != areaName ||
        name[areaName.size()] != ' ') {
        return false;
    }
    const std::string_view number = name.substr(areaName.size() + 1);
    return IsDecimal(number) && number.front() != '0' && number != "1";
}

std::string FreshAreaFolderName(std::string_view areaName,
                                const std::vector<AlbumItem>& rootItems) {
    for (int number = 1;; ++number) {
        std::string name = NumberedName(areaName, number);
        if (std::none_of(rootItems.begin(), rootItems.end(),
                         [&name](const AlbumItem& item) { return item.name == name; })) {
            return name;
        }
    }
}

int FindAreaFolders(JobContext& context, std::string_view areaName, AreaFolders& found) {
    found = {};
    std::string rootId;
    const int root = FindAlbumFolder(context, kAlbumRootFolder, rootId, "/");
    if (root <= 0) {
        return root < 0 ? -1 : 1;
    }
    found.rootFound = true;
    found.rootPath = "/" + rootId + "/";
    if (ListAlbumFolder(context, found.rootPath, found.rootItems) < 0) {
        return -1;
    }
    for (const AlbumItem& item : found.rootItems) {
        if (item.isFolder && IsAreaFolderName(areaName, item.name)) {
            found.folders.push_back(item);
        }
    }
    return 1;
}

int OpenAreaFolderRun(JobContext& context, std::string_view areaName, AreaFolderRun& run) {
    AreaFolders found;
    if (FindAreaFolders(context, areaName, found) < 0) {
        return -1;
    }
    if (!found.rootFound) {
        std::string rootId;
        const int made = CreateAlbumFolder(context, "/", kAlbumRootFolder, rootId);
        if (made <= 0) {
            return made;
        }
        found.rootPath = "/" + rootId + "/";
    }
    std::string id;
    const std::string name = FreshAreaFolderName(areaName, found.rootItems);
    const int made = CreateAlbumFolder(context, found.rootPath, name, id);
    if (made > 0) {
        run = {found.rootPath + id + "/", {}};
        for (const AlbumItem& old : found.folders) {
            run.oldFolders.push_back(found.rootPath + old.id);
        }
        return 1;
    }
    const AlbumItem* reused = FolderToReuse(areaName, found.folders);
    if (reused == nullptr) {
        return made;
    }
    ProcessTraceLog().Write(
        "The album made no new folder %s: the pictures go into the folder %s, "
        "whose old pictures stay",
        name.c_str(), reused->name.c_str());
    run = {found.rootPath + reused->id + "/", {}};
    return 1;
}

int RemoveOldAreaFolders(JobContext& context, const AreaFolderRun& run) {
    int result = 1;
    for (const std::string& folder : run.oldFolders) {
        if (DeleteAlbumItems(context, folder) <= 0) {
            ProcessTraceLog().Write("Old album folder %s not removed", folder.c_str());
            result = -1;
        }
    }
    return result;
}

}  // namespace kesto
