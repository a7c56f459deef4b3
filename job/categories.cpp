#include "job/categories.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "job/area_result.h"
#include "job/category_records.h"
#include "job/category_service.h"
#include "job/progress.h"
#include "job/side_by_side_uploads.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/failure_reason.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/picture_preparer.h"
#include "market/shop_session.h"
#include "platform/translation.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/trace_log.h"
#include "templates/template_bounds.h"
#include "templates/template_folder.h"

namespace kesto {

namespace {

constexpr int kAttempts = 3;
// How long the creating and put-back updates after a delete may go on past the job's time bound.
constexpr std::chrono::minutes kKeepShopWholeGrace{2};

// Runs attempt up to three times, pausing after each failure; true at the first success. Once
// the login has ended or changed no request of the job goes out, so no attempt is left to make.
template <typename Attempt>
bool WithRetries(Attempt attempt, std::chrono::milliseconds wait, const JobContext& context) {
    for (int i = 0; i < kAttempts; ++i) {
        if (attempt()) {
            return true;
        }
        if (context.loginWatch.RequestsRefused()) {
            return false;
        }
        std::this_thread::sleep_for(wait);
    }
    return false;
}

struct PlannedCategory {
    CategoryFolder folder;
    std::string topAddress;
    std::vector<std::string> subcategoryAddresses;
};

// Uploads one picture with up to three attempts, its requests made with context; its album
// address, or nothing when every attempt failed. A picture that is no longer the one the template
// check passed is not sent: each attempt fails as an upload of a file that changed under it does.
bool UploadWithRetries(ShopSession& session, JobContext& context, const std::string& albumPath,
                       const TemplateFile& file, const PreparedPicture& picture,
                       std::chrono::milliseconds retryWait, std::string& address) {
    return WithRetries(
        [&] {
            if (ChangedSinceRead(file)) {
                context.lastFailure = {DescribeChangedFile(file.path), false};
                return false;
            }
            return UploadPreparedPicture(session, context, albumPath, picture, address) > 0;
        },
        retryWait, context);
}

// Records why a category picture could not be uploaded.
void NotePictureFailure(const ShopSession& session, std::string& failure,
                        const CategoryFolder& category, const std::string& entry) {
    // The request layer's failure, or what the album page check met (the password page).
    const JobContext& context = session.context();
    std::string met = context.lastFailure.reason;
    if (met.empty() && context.transactionPasswordPage) {
        met = TransactionPasswordReason();
    }
    if (met.empty()) {
        met = Translate("the album did not take it");
    }
    failure = FillIn(Translate("{}; the shop's categories were not changed"),
                     {WithReason(FillIn(Translate("uploading the category picture {} (3 attempts)"),
                                        {category.folder + kPathSeparator + entry}),
                                 met)});
}

// Plans each category folder; its pictures go to pictures in upload order (top-level picture
// first).
std::vector<PlannedCategory> ListCategories(const ClassFolder& classFolder,
                                            std::vector<TemplateFile>& pictures) {
    std::vector<PlannedCategory> plan;
    for (const TemplateCategory& category : classFolder.categories) {
        pictures.insert(pictures.end(), category.pictures.begin(), category.pictures.end());
        plan.push_back({category.tree, {}, {}});
    }
    return plan;
}

// Where each picture of the upload order belongs: its category, and the sub-category it is
// the picture of (none for the top-level category's).
struct PictureSlot {
    std::size_t category = 0;
    std::optional<std::size_t> subcategory;
    const std::string* entry = nullptr;
};

// Uploads every category's pictures (several at once when the session allows); false (with
// failure set, naming the first picture that failed three times) when one did. The addresses go
// into the plan in the template's order, whatever order the answers came in; the line after a
// category's pictures is posted once they and those of every category before it are done.
bool UploadCategoryPictures(std::vector<PlannedCategory>& plan,
                            const std::vector<TemplateFile>& files, PicturePreparer& preparer,
                            ShopSession& session, std::string& failure,
                            const std::string& albumPath, std::chrono::milliseconds retryWait) {
    std::vector<PictureSlot> slots;
    std::vector<std::size_t> left(plan.size());  // pictures not yet done, per category
    for (std::size_t c = 0; c < plan.size(); ++c) {
        PlannedCategory& category = plan[c];
        if (!category.folder.top.entry.empty()) {
            slots.push_back({c, std::nullopt, &category.folder.top.entry});
        }
        category.subcategoryAddresses.resize(category.folder.subcategories.size());
        for (std::size_t s = 0; s < category.folder.subcategories.size(); ++s) {
            slots.push_back({c, s, &category.folder.subcategories[s].entry});
        }
        left[c] =
            category.folder.subcategories.size() + (category.folder.top.entry.empty() ? 0 : 1);
    }
    const int count = static_cast<int>(preparer.size());
    SideBySideUploads uploads(session);
    std::size_t lined = 0;  // categories whose line is posted; guarded like left, below
    std::mutex lines;
    const auto postCategoryLines = [&] {
        while (lined < plan.size() && left[lined] == 0) {
            uploads.Post({kCategoriesProgress, 0, 0, {}});
            ++lined;
        }
    };
    uploads.Post({kPictureProgress, 0, count, {}});
    postCategoryLines();
    const std::size_t failed = uploads.Run(slots.size(), [&](std::size_t i) -> PictureWork {
        auto prepared = std::make_shared<PreparedPicture>(preparer.Take(i));
        return [&, i, prepared](JobContext& context) {
            const PictureSlot& slot = slots[i];
            PlannedCategory& category = plan[slot.category];
            std::string& address = slot.subcategory
                                       ? category.subcategoryAddresses[*slot.subcategory]
                                       : category.topAddress;
            const bool uploaded = UploadWithRetries(session, context, albumPath, files[i],
                                                    *prepared, retryWait, address);
            preparer.Discard(std::move(prepared->thumbnail));
            if (!uploaded) {
                return false;
            }
            uploads.PostPictureDone(count, *slot.entry);
            const std::lock_guard held(lines);
            --left[slot.category];
            postCategoryLines();
            return true;
        };
    });
    if (failed < slots.size()) {
        NotePictureFailure(session, failure, plan[slots[failed].category].folder,
                           *slots[failed].entry);
        return false;
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

// What became of the old categories after the deleting update.
enum class OldCategories {
    kGone,     // deleted (or there were none)
    kKept,     // the delete failed and nothing was deleted
    kUnknown,  // the delete failed and may yet be carried out, or was carried out in part
};

bool Lists(const CategoryList& list, const std::string& id) {
    return std::find(list.ids.begin(), list.ids.end(), id) != list.ids.end();
}

// Deletes the listed categories; after a failed delete, reads the list again to learn what the
// delete did (see UpdateCategories).
OldCategories DeleteOldCategories(CategoryService& service, const CategoryList& old,
                                  CategoryRequestFailure& failure) {
    if (old.ids.empty() || service.Update(DeletingRecords(old.ids), true, failure)) {
        return OldCategories::kGone;
    }
    CategoryRequestFailure rereadFailure;
    const std::optional<CategoryList> now = service.ReadList(rereadFailure);
    if (!now) {
        return OldCategories::kUnknown;
    }
    const auto listed = [&now](const std::string& id) { return Lists(*now, id); };
    if (std::none_of(old.ids.begin(), old.ids.end(), listed)) {
        return OldCategories::kGone;
    }
    if (std::all_of(old.ids.begin(), old.ids.end(), listed) && !failure.outcomeUnknown) {
        return OldCategories::kKept;
    }
    return OldCategories::kUnknown;
}

std::size_t CategoryCount(const std::vector<PlannedCategory>& plan) {
    std::size_t count = 0;
    for (const PlannedCategory& category : plan) {
        count += 1 + category.folder.subcategories.size();
    }
    return count;
}

// Whether the shop lists at least count categories besides the old ones.
bool ListsNewCategories(CategoryService& service, const CategoryList& old, std::size_t count) {
    CategoryRequestFailure failure;
    const std::optional<CategoryList> now = service.ReadList(failure);
    return now && static_cast<std::size_t>(std::count_if(
                      now->ids.begin(), now->ids.end(),
                      [&old](const std::string& id) { return !Lists(old, id); })) >= count;
}

// Whether an update that failed was carried out all the same: a creating update whose answer was
// lost, cut off or an error page may have been. The list is read again, after a pause when no
// answer came in time; when it shows count categories besides the old ones they are taken as
// made instead of being sent again, which would show them twice.
bool MadeAllTheSame(CategoryService& service, const CategoryList& old, std::size_t count,
                    const CategoryRequestFailure& failure, std::chrono::milliseconds retryWait) {
    if (failure.outcomeUnknown) {
        std::this_thread::sleep_for(retryWait);
    }
    if (!ListsNewCategories(service, old, count)) {
        return false;
    }
    ProcessTraceLog().Write("Categories made by an update whose answer was lost");
    return true;
}

// Sends an update that creates count categories, up to attempts times, pausing after each
// failure that the list read again does not show carried out. An update carried out only after
// that reading is still sent again: only a request the marketplace could take twice without harm
// would close that gap.
bool CreateCategories(CategoryService& service, const CategoryList& old,
                      const std::string& creating, std::size_t count, int attempts,
                      std::chrono::milliseconds retryWait, CategoryRequestFailure& failure) {
    for (int i = 0; i < attempts; ++i) {
        if (service.Update(creating, false, failure) ||
            MadeAllTheSame(service, old, count, failure, retryWait)) {
            return true;
        }
        if (i + 1 < attempts) {
            std::this_thread::sleep_for(retryWait);
        }
    }
    return false;
}

// Puts the old categories back after the new tree could not be made; the words that end the
// failure's reason.
std::string PutBackOldCategories(CategoryService& service, const CategoryList& old,
                                 OldCategories state, std::chrono::milliseconds retryWait) {
    if (old.ids.empty()) {
        return Translate("the shop had no categories before");
    }
    if (!old.NamesKnown()) {
        return Translate(
            "the old categories cannot be put back, as the marketplace's category list does not "
            "give their names: the shop may be without categories: run the category update "
            "again");
    }
    const std::string records = PutBackRecords(old.categories);
    CategoryRequestFailure failure;
    if (!CreateCategories(service, old, records, old.categories.size(), kAttempts, retryWait,
                          failure)) {
        return FillIn(
            Translate("{}; the shop may be without categories: run the category "
                      "update again"),
            {WithReason(Translate("putting the old categories back failed too"), failure.reason)});
    }
    if (state == OldCategories::kUnknown) {
        return Translate(
            "the old categories were put back, and show twice if the marketplace never carries "
            "out the delete");
    }
    return Translate("the old categories were put back");
}

// The new tree is in place beside the old categories: deletes the old ones. True when they are
// gone, otherwise false with reason set (the shop shows both trees).
bool DeleteBesideNewTree(CategoryService& service, const CategoryList& old, std::string& reason) {
    CategoryRequestFailure failure;
    const OldCategories state = DeleteOldCategories(service, old, failure);
    if (state == OldCategories::kGone) {
        return true;
    }
    reason = FillIn(state == OldCategories::kKept
                        ? Translate("{}; the new categories are in place, but the old ones still "
                                    "show beside them: run the category update again")
                        : Translate("{}; the new categories are in place, but the old ones may "
                                    "still show beside them: run the category update again"),
                    {WithReason(Translate("deleting the old categories"), failure.reason)});
    return false;
}

// The old categories are deleted first, then the new tree is created, up to three attempts;
// when it cannot be made, the old categories are put back where the list gave their names.
// True when done, otherwise false with failure set.
bool DeleteThenCreate(CategoryService& service, const CategoryList& old,
                      const std::string& creating, std::size_t count,
                      std::chrono::milliseconds retryWait, ShopSession& session,
                      std::string& failure) {
    CategoryRequestFailure deleteFailure;
    const OldCategories state = DeleteOldCategories(service, old, deleteFailure);
    if (state == OldCategories::kKept) {
        failure =
            FillIn(Translate("{}; the shop keeps its categories"),
                   {WithReason(Translate("deleting the old categories"), deleteFailure.reason)});
        return false;
    }
    // The old categories are gone (or may be): making the new tree, or putting the old one back,
    // goes on past the job's time bound for one more step, rather than leave the shop without.
    const TimeBoundGrace grace(session.context().timeBound, kKeepShopWholeGrace);
    CategoryRequestFailure createFailure;
    const bool created =
        CreateCategories(service, old, creating, count, kAttempts, retryWait, createFailure);
    if (created && state == OldCategories::kGone) {
        return true;
    }
    std::string reason =
        created ? Translate(
                      "the new categories were created so that the shop keeps categories, "
                      "but the old ones may still show beside them: run the category "
                      "update again")
                : FillIn(Translate("{}; {}"),
                         {WithReason(Translate("creating the new categories (3 attempts)"),
                                     createFailure.reason),
                          PutBackOldCategories(service, old, state, retryWait)});
    if (state == OldCategories::kUnknown) {
        reason = FillIn(
            Translate("{}; {}"),
            {WithReason(Translate("deleting the old categories"), deleteFailure.reason), reason});
    }
    failure = std::move(reason);
    return false;
}

// Replaces the old categories by the new tree. The new tree is made first, beside the old
// categories, which are deleted once it is in place: the shop never goes without categories.
// A marketplace that will not make it so (names it already lists, for one) gets the old order:
// delete, then create. True when done, otherwise false with reason set.
bool ReplaceCategories(CategoryService& service, const CategoryList& old,
                       const std::vector<PlannedCategory>& plan,
                       std::chrono::milliseconds retryWait, ShopSession& session,
                       std::string& reason) {
    const std::string creating = CreatingRecords(plan);
    const std::size_t count = CategoryCount(plan);
    CategoryRequestFailure failure;
    if (CreateCategories(service, old, creating, count, 1, retryWait, failure)) {
        return DeleteBesideNewTree(service, old, reason);
    }
    if (failure.reason == TransactionPasswordReason()) {
        reason = FillIn(Translate("{}; the shop's categories were not changed"),
                        {WithReason(Translate("creating the new categories"), failure.reason)});
        return false;
    }
    if (failure.outcomeUnknown) {
        // The marketplace may still make the new tree: deleting the old categories and sending
        // it again could show it twice.
        reason = FillIn(
            Translate("{}; the shop keeps its categories, and shows the new ones beside them if "
                      "the marketplace carries the update out later: run the category update "
                      "again"),
            {WithReason(Translate("creating the new categories"), failure.reason)});
        return false;
    }
    ProcessTraceLog().Write("New categories not made beside the old ones (%s): deleting first",
                            failure.reason.c_str());
    return DeleteThenCreate(service, old, creating, count, retryWait, session, reason);
}

// The shop's categories, read twice: a list that differs from itself cannot be acted on. Nothing
// (reason set) when either reading fails or they differ.
std::optional<CategoryList> ReadListTwice(CategoryService& service, JobContext& context,
                                          std::string& reason) {
    CategoryRequestFailure failure;
    std::optional<CategoryList> first = service.ReadList(failure);
    std::optional<CategoryList> second =
        first ? service.ReadList(failure) : std::optional<CategoryList>();
    if (!second) {
        reason = WithReason(Translate("reading the shop's categories"), failure.reason);
        return std::nullopt;
    }
    if (!SameIds(first->ids, second->ids)) {
        reason = WithReason(Translate("reading the shop's categories"),
                            StepCause(context, "list-changed",
                                      Translate("the marketplace's list differed between two "
                                                "readings: run again")));
        return std::nullopt;
    }
    return first;
}

// Whether the list read now shows that the old categories are gone, so that no category shows a
// picture of the old album folders any more. An old list without categories proves nothing: the
// folders of an earlier update stay until a later one shows them unused.
bool OldCategoriesGone(CategoryService& service, const CategoryList& old) {
    if (old.ids.empty()) {
        return false;
    }
    CategoryRequestFailure failure;
    const std::optional<CategoryList> now = service.ReadList(failure);
    return now && std::none_of(old.ids.begin(), old.ids.end(),
                               [&now](const std::string& id) { return Lists(*now, id); });
}

// The category update (see UpdateCategories), failure saying why it failed.
int ReplaceCategoryTree(const ClassFolder& classFolder, ShopSession& session,
                        std::chrono::milliseconds retryWait, std::string& failure) {
    const std::string& folder = classFolder.folder.path;
    if (classFolder.categories.empty()) {
        // A template without categories (or a wrong folder) must not wipe the shop's.
        failure = StepCause(
            session.context(), "no-category-folder",
            FillIn(Translate("the template's class folder {} holds no category folder"), {folder}));
        return -1;
    }
    std::vector<TemplateFile> pictures;
    std::vector<PlannedCategory> plan = ListCategories(classFolder, pictures);
    std::vector<std::string> picturePaths;
    for (const TemplateFile& picture : pictures) {
        picturePaths.push_back(picture.path);
    }
    // Only the template's own files are read, as the template check demands.
    std::vector<std::string> ownFiles = {folder};
    for (const TemplateCategory& category : classFolder.categories) {
        ownFiles.push_back(folder + category.tree.folder);
    }
    ownFiles.insert(ownFiles.end(), picturePaths.begin(), picturePaths.end());
    if (const std::string leaving = TemplateBounds(ParentFolder(folder)).FirstLeavingPath(ownFiles);
        !leaving.empty()) {
        failure = StepCause(session.context(), "outside-template",
                            FillIn(Translate("{} links outside the template folder; the shop's "
                                             "categories were not changed"),
                                   {leaving}));
        return -1;
    }
    AreaFolderRun albumFolder;
    JobContext& context = session.context();
    if (OpenAreaFolderRun(context, kCategoryAlbumFolder, albumFolder) <= 0) {
        const std::string& met = context.lastFailure.reason;
        failure =
            FillIn(Translate("{}; the shop's categories were not changed"),
                   {WithReason(
                       FillIn(Translate("opening the album folder {}"), {kCategoryAlbumFolder}),
                       met.empty() ? Translate("the album did not confirm the new folder") : met)});
        return -1;
    }
    PicturePreparer preparer(std::move(picturePaths),
                             static_cast<std::size_t>(session.parallelUploads));
    if (!UploadCategoryPictures(plan, pictures, preparer, session, failure, albumFolder.path,
                                retryWait)) {
        return -1;
    }
    CategoryService service(session);
    std::optional<CategoryList> old = ReadListTwice(service, context, failure);
    if (!old) {
        failure = FillIn(Translate("{}; the shop's categories were not changed"), {failure});
        return -1;
    }
    if (!ReplaceCategories(service, *old, plan, retryWait, session, failure)) {
        return -1;
    }
    // The old categories are gone: the folders of the pictures only they showed can go too. Any
    // left behind are removed by a later category update.
    if (OldCategoriesGone(service, *old)) {
        RemoveOldAreaFolders(context, albumFolder);
    } else {
        ProcessTraceLog().Write("Old category folders kept: the list does not show them unused");
    }
    return 1;
}

}  // namespace

AreaResult UpdateCategories(const ClassFolder& classFolder, ShopSession& session,
                            std::chrono::milliseconds retryWait) {
    std::string failure;
    const int code = ReplaceCategoryTree(classFolder, session, retryWait, failure);
    return AreaEnd(code, std::move(failure), session.context());
}

}  // namespace kesto
