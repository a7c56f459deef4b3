#include "job/categories.h"

#include <filesystem>
#include <thread>
#include <vector>

#include "job/category_records.h"
#include "job/progress.h"
#include "market/album.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/picture_preparer.h"
#include "market/shop_session.h"
#include "support/file_path.h"
#include "upload/file_listing.h"

namespace kesto {

namespace {

// The category endpoints carry this fixed token, not the session's.
std::string CategoryAddress(std::string_view endpoint) {
    return hosts::Address(hosts::kManage, "/cgi-bin/mycategory/" + std::string(endpoint) +
                                              "?g_tk=7302518846&g_ty=ajax");
}

struct PlannedCategory {
    CategoryFolder folder;
    std::string topAddress;
    std::vector<std::string> subcategoryAddresses;
};

// Uploads one picture with up to three attempts, pausing after each failure; its album address,
// or nothing when every attempt failed.
bool UploadWithRetries(ShopSession& session, const std::string& albumPath,
                       const PreparedPicture& picture, const std::string& entry,
                       std::chrono::milliseconds retryWait, std::string& address) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        session.uploadedPictures.clear();
        if (UploadPreparedPicture(session, albumPath, picture) > 0) {
            const auto found = session.uploadedPictures.find(entry);
            address = found != session.uploadedPictures.end() ? found->second : std::string();
            session.uploadedPictures.clear();
            return true;
        }
        std::this_thread::sleep_for(retryWait);
    }
    return false;
}

// Lists each category folder: its pictures in upload order (top-level picture first).
std::vector<PlannedCategory> ListCategories(const std::string& classFolder,
                                            const std::vector<std::string>& categoryFolders,
                                            std::vector<std::string>& picturePaths) {
    std::vector<PlannedCategory> plan;
    for (const std::string& name : categoryFolders) {
        const std::string folder = classFolder + name + kPathSeparator;
        std::vector<std::string> entries;
        ListEntries(folder, entries);
        PlannedCategory category{SortCategoryEntries(name, std::move(entries)), {}, {}};
        if (!category.folder.top.entry.empty()) {
            picturePaths.push_back(folder + category.folder.top.entry);
        }
        for (const CategoryPicture& sub : category.folder.subcategories) {
            picturePaths.push_back(folder + sub.entry);
        }
        plan.push_back(std::move(category));
    }
    return plan;
}

// Uploads every category's pictures, each category's address taken right after its own upload;
// false when a picture failed three times.
bool UploadCategoryPictures(std::vector<PlannedCategory>& plan, PicturePreparer& preparer,
                            ShopSession& session, const std::string& albumPath,
                            std::chrono::milliseconds retryWait) {
    std::size_t next = 0;
    for (PlannedCategory& category : plan) {
        const CategoryPicture& top = category.folder.top;
        if (!top.entry.empty() && !UploadWithRetries(session, albumPath, preparer.Take(next++),
                                                     top.entry, retryWait, category.topAddress)) {
            return false;
        }
        for (const CategoryPicture& sub : category.folder.subcategories) {
            std::string address;
            if (!UploadWithRetries(session, albumPath, preparer.Take(next++), sub.entry, retryWait,
                                   address)) {
                return false;
            }
            category.subcategoryAddresses.push_back(std::move(address));
        }
        if (session.progress) {
            session.progress->Post({kCategoriesProgress, 0, 0, {}});
        }
    }
    return true;
}

// The creating records of the whole tree, with ids from 10000 in the order they are made.
std::string CreatingRecords(const std::vector<PlannedCategory>& plan) {
    std::string records;
    int counter = 10000;
    const auto append = [&records](const std::string& record) {
        records += (records.empty() ? "" : "|") + record;
    };
    for (const PlannedCategory& category : plan) {
        const int parent = counter++;
        append(CreatingRecord(parent, 0, 1, category.folder.top.name, category.topAddress));
        for (std::size_t i = 0; i < category.folder.subcategories.size(); ++i) {
            append(CreatingRecord(counter++, parent, 2, category.folder.subcategories[i].name,
                                  category.subcategoryAddresses[i]));
        }
    }
    return records;
}

}  // namespace

int DeleteAllCategories() {
    RequestOptions listOptions;
    std::string answer;
    HttpRequest(answer, CategoryAddress("showjson").c_str(), listOptions, kMethodGet, nullptr,
                false);
    if (answer.empty()) {
        return -1;
    }
    const std::string records = DeletingRecords(ParseCategoryIds(answer));
    if (records.empty()) {
        return 0;
    }
    RequestOptions deleteOptions;
    std::string deleted;
    const std::string body = "updatestr=" + records;
    return HttpRequest(deleted, CategoryAddress("update").c_str(), deleteOptions, kMethodPost,
                       body.c_str(), true) > 0
               ? 1
               : -1;
}

int UpdateCategories(const std::string& classFolder, ShopSession& session,
                     std::chrono::milliseconds retryWait) {
    const std::string folder = WithTrailingSeparator(classFolder);
    std::vector<std::string> categoryFolders;
    ListSubfolders(folder, categoryFolders);
    if (categoryFolders.empty()) {
        // A template without categories (or a wrong folder) must not wipe the shop's.
        return -1;
    }
    RemoveAreaFolder(kCategoryAlbumFolder);
    std::string albumPath = "/";
    CreateAreaFolder(kCategoryAlbumFolder, albumPath);

    std::vector<std::string> picturePaths;
    std::vector<PlannedCategory> plan = ListCategories(folder, categoryFolders, picturePaths);
    PicturePreparer preparer(std::move(picturePaths));
    if (!UploadCategoryPictures(plan, preparer, session, albumPath, retryWait)) {
        return -1;
    }
    if (DeleteAllCategories() < 0) {
        return -1;
    }
    RequestOptions options;
    std::string answer;
    const std::string body = "updatestr=" + CreatingRecords(plan);
    const int result = HttpRequest(answer, CategoryAddress("update").c_str(), options, kMethodPost,
                                   body.c_str(), false);
    return result > 0 ? result : -1;
}

}  // namespace kesto
