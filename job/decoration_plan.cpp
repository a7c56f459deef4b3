#include "job/decoration_plan.h"

#include <json/value.h>

#include <algorithm>

#include "job/area_result.h"
#include "job/category_service.h"
#include "job/json_document.h"
#include "job/layout_requests.h"
#include "job/progress.h"
#include "job/shop_layout.h"
#include "job/template_check.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/failure_reason.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/shop_session.h"
#include "market/transaction_password.h"
#include "market/uploader.h"
#include "platform/translation.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "templates/template_folder.h"

namespace kesto {

namespace {

// A module by its fsid as the layout text carries it, and its name ("" when it has none).
PlannedModule Planned(const Json::Value& module) {
    const Json::Value& name = module["name"];
    return {LayoutField(module, "fsid"), name.isString() ? name.asString() : std::string()};
}

// The custom-content modules the main page replaces: the first frame's column-1 modules of
// kind 13.
std::vector<PlannedModule> CustomContentModules(const Json::Value& layout) {
    std::vector<PlannedModule> modules;
    const Json::Value& frames = layout["shopFrame"];
    if (!frames.isArray() || frames.empty() || !frames[0]["areas"].isArray()) {
        return modules;
    }
    for (const Json::Value& module : frames[0]["areas"]) {
        if (module.isObject() && LayoutField(module, "area") == "1" &&
            LayoutField(module, "mid") == "13") {
            modules.push_back(Planned(module));
        }
    }
    return modules;
}

std::vector<PlannedModule> PlannedBannerModules(const Json::Value& layout) {
    std::vector<PlannedModule> modules;
    for (const Json::Value& module : ReplacedBannerModules(layout)) {
        modules.push_back(Planned(module));
    }
    return modules;
}

// The album folder a run would make for the area, the earlier folders it would remove and the
// pictures they hold; false when the album did not answer.
bool PlanAlbumFolder(JobContext& context, std::string_view area, std::string& newFolder,
                     std::vector<std::string>& oldFolders, std::vector<std::string>& oldPictures) {
    AreaFolders found;
    if (FindAreaFolders(context, area, found) < 0) {
        return false;
    }
    newFolder = FreshAreaFolderName(area, found.rootItems);
    for (const AlbumItem& folder : found.folders) {
        std::vector<AlbumItem> pictures;
        if (ListAlbumFolder(context, found.rootPath + folder.id + "/", pictures) < 0) {
            return false;
        }
        oldFolders.push_back(folder.name);
        for (const AlbumItem& picture : pictures) {
            oldPictures.push_back(picture.name);
        }
    }
    return true;
}

class Planner {
  public:
    Planner(const JobRequest& request, const TemplateFolder& folder, ShopSession& session)
        : request_(request), folder_(folder), session_(session) {}

    DecorationPlan Run() {
        for (const TemplateFinding& error : CheckTemplate(request_, folder_)) {
            plan_.templateErrors.push_back(FindingLine(error));
            plan_.templateErrorCodes.push_back(error.code);
        }
        if (!plan_.templateErrors.empty()) {
            return plan_;
        }
        if ((request_.shopSign || request_.mainPage) && !ReadLayout()) {
            return plan_;
        }
        if (AsksForPassword()) {
            return plan_;
        }
        if (request_.shopSign) {
            PlanShopSign();
        }
        if (request_.mainPage && !PlanMainPage()) {
            return plan_;
        }
        if (request_.categories) {
            PlanCategories();
        }
        return plan_;
    }

  private:
    // The problem's code is that of the request or step cause its reason holds.
    bool Fail(std::string_view step, std::string_view reason) {
        plan_.problem = WithReason(step, reason);
        plan_.problemCode = ReasonCode(plan_.problem, session_.context());
        return false;
    }

    bool AskedForPassword() {
        plan_.passwordAsked = true;
        plan_.problem = Translate(
            "the marketplace asks for the transaction password: log in with kesto-design and "
            "enter it, then plan again");
        plan_.problemCode = "transaction-password";
        return false;
    }

    // Fails with the reason the last request gave.
    bool Fail(std::string_view step) { return Fail(step, session_.context().lastFailure.reason); }

    bool ReadLayout() {
        std::string answer;
        if (ReadShopLayout(session_.context(), answer) <= 0) {
            return Fail(Translate("reading the shop's layout"));
        }
        if (IsTransactionPasswordPage(answer)) {
            return AskedForPassword();
        }
        ParseShopLayout(ExtractLayoutDocument(answer), layout_);
        if (!IsEditableLayout(layout_)) {
            return Fail(Translate("reading the shop's layout"),
                        StepCause(session_.context(), "unreadable-layout",
                                  Translate("the answer holds no layout: run again")));
        }
        return true;
    }

    // Reads the pages a run meets the transaction password on before it changes anything: the
    // content information (shop sign, main page) and the album page (main page, categories).
    bool AsksForPassword() {
        JobContext& context = session_.context();
        std::string shopData;
        std::string failure;
        const bool asked = ((request_.shopSign || request_.mainPage) &&
                            ReadContentInfo(session_, failure, shopData) == 0 &&
                            failure.ends_with(TransactionPasswordReason())) ||
                           ((request_.mainPage || request_.categories) &&
                            CheckAlbumPage(context) == 0 && context.transactionPasswordPage);
        context.transactionPasswordPage = false;
        if (asked) {
            AskedForPassword();
        }
        return asked;
    }

    void PlanShopSign() {
        ShopSignPlan sign;
        if (const std::optional<TemplateFile>& picture = folder_.head.picture) {
            sign.picture = picture->relative;
            sign.bytes = picture->size;
            sign.chunked = sign.bytes > Uploader::kMaxSingleBytes;
            Json::Value copy = layout_;
            sign.headerAdded = AddShopHeader(copy) > 0;
            if (sign.headerAdded) {
                sign.removedModules = PlannedBannerModules(layout_);
            }
        }
        plan_.shopSign = std::move(sign);
    }

    bool PlanMainPage() {
        const MainFolder& folder = folder_.main;
        MainPagePlan main;
        for (const TemplateFile& picture : folder.pictures) {
            main.pictures.push_back(picture.name);
        }
        main.pageText = folder.pageText ? folder.pageText->file.relative
                                        : folder.folder.relative + kPathSeparator;
        main.replacedModules = CustomContentModules(layout_);
        if (!PlanAlbumFolder(session_.context(), kMainPageAlbumFolder, main.albumFolder,
                             main.oldAlbumFolders, main.oldPictures)) {
            return Fail(FillIn(Translate("listing the album folder {}"), {kMainPageAlbumFolder}));
        }
        plan_.mainPage = std::move(main);
        return true;
    }

    void PlanCategories() {
        CategoriesPlan categories;
        CategoryRequestFailure failure;
        const std::optional<CategoryList> list = CategoryService(session_).ReadList(failure);
        if (!list) {
            Fail(Translate("reading the shop's categories"), failure.reason);
            return;
        }
        for (const ListedCategory& category : list->categories) {
            categories.deleted.push_back(ParentName(*list, category) + category.name);
        }
        if (!list->NamesKnown()) {
            // The list gives no names: the categories are named by their ids.
            for (const std::string& id : list->ids) {
                categories.deleted.push_back("#" + id);
            }
        }
        for (const TemplateCategory& category : folder_.categories.categories) {
            const CategoryFolder& sorted = category.tree;
            categories.created.push_back(sorted.top.name);
            for (const CategoryPicture& sub : sorted.subcategories) {
                categories.created.push_back(sorted.top.name + "/" + sub.name);
            }
        }
        if (!PlanAlbumFolder(session_.context(), kCategoryAlbumFolder, categories.albumFolder,
                             categories.oldAlbumFolders, categories.oldPictures)) {
            Fail(FillIn(Translate("listing the album folder {}"), {kCategoryAlbumFolder}));
            return;
        }
        plan_.categories = std::move(categories);
    }

    // "parent/" for a sub-category, empty for a top-level one.
    static std::string ParentName(const CategoryList& list, const ListedCategory& category) {
        for (const ListedCategory& parent : list.categories) {
            if (!category.parentId.empty() && category.parentId != "0" &&
                parent.id == category.parentId) {
                return parent.name + "/";
            }
        }
        return {};
    }

    const JobRequest& request_;
    const TemplateFolder& folder_;
    ShopSession& session_;
    Json::Value layout_;
    DecorationPlan plan_;
};

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        // TRANSLATORS: the separator between the items of a list.
        joined += (joined.empty() ? "" : Translate(", ")) + text;
    }
    return joined.empty() ? Translate("none") : joined;
}

// "店铺招牌 (2002), 2005": each module by its name and fsid, or its fsid alone.
std::string Joined(const std::vector<PlannedModule>& modules) {
    std::vector<std::string> texts;
    for (const PlannedModule& module : modules) {
        texts.push_back(module.name.empty()
                            ? module.fsid
                            : FillIn(Translate("{} ({})"), {module.name, module.fsid}));
    }
    return Joined(texts);
}

Json::Value JsonList(const std::vector<PlannedModule>& modules) {
    Json::Value list(Json::arrayValue);
    for (const PlannedModule& module : modules) {
        Json::Value& item = list.append(Json::objectValue);
        item["fsid"] = module.fsid;
        item["name"] = module.name;
    }
    return list;
}

Json::Value JsonList(const std::vector<std::string>& texts) {
    Json::Value list(Json::arrayValue);
    for (const std::string& text : texts) {
        list.append(text);
    }
    return list;
}

void AddSignLines(const ShopSignPlan& sign, std::vector<std::string>& lines) {
    if (sign.picture.empty()) {
        lines.push_back(Translate("shop sign: no picture in head, the shop sign stays as it is"));
        return;
    }
    lines.push_back(FillIn(sign.chunked
                               ? Translate("shop sign: replaced by {} ({} bytes, in chunks)")
                               : Translate("shop sign: replaced by {} ({} bytes, in one "
                                           "request)"),
                           {sign.picture, std::to_string(sign.bytes)}));
    if (sign.headerAdded) {
        lines.push_back(FillIn(Translate("shop sign: a shop header module is added to the banner; "
                                         "banner modules removed once the sign is in: {}"),
                               {Joined(sign.removedModules)}));
    }
}

// "the new album folder 主页面 2; old folders removed once it is saved: 主页面, holding a.jpg".
std::string AlbumFolderWords(const std::string& newFolder, const std::vector<std::string>& folders,
                             const std::vector<std::string>& pictures) {
    return folders.empty()
               ? FillIn(Translate("the new album folder {}; old album folders removed once saved: "
                                  "{}"),
                        {newFolder, Joined(folders)})
               : FillIn(Translate("the new album folder {}; old album folders removed once saved: "
                                  "{}, holding {}"),
                        {newFolder, Joined(folders), Joined(pictures)});
}

void AddMainPageLines(const MainPagePlan& main, std::vector<std::string>& lines) {
    lines.push_back(FillIn(Translate("main page: a new custom-content module with the text of {} "
                                     "replaces the modules {}"),
                           {main.pageText, Joined(main.replacedModules)}));
    lines.push_back(
        FillIn(Translate("main page: {} pictures go into {}; pictures: {}"),
               {std::to_string(main.pictures.size()),
                AlbumFolderWords(main.albumFolder, main.oldAlbumFolders, main.oldPictures),
                Joined(main.pictures)}));
}

void AddCategoryLines(const CategoriesPlan& categories, std::vector<std::string>& lines) {
    lines.push_back(FillIn(Translate("categories: deleted: {}"), {Joined(categories.deleted)}));
    lines.push_back(FillIn(Translate("categories: created: {}"), {Joined(categories.created)}));
    lines.push_back(FillIn(Translate("categories: pictures go into {}"),
                           {AlbumFolderWords(categories.albumFolder, categories.oldAlbumFolders,
                                             categories.oldPictures)}));
}

}  // namespace

DecorationPlan PlanDecoration(const JobRequest& request, const TemplateFolder& folder,
                              ShopSession& session) {
    return Planner(request, folder, session).Run();
}

std::vector<std::string> PlanLines(const DecorationPlan& plan) {
    std::vector<std::string> lines;
    for (const std::string& error : plan.templateErrors) {
        lines.push_back(FillIn(Translate("template: {}"), {error}));
    }
    if (plan.shopSign) {
        AddSignLines(*plan.shopSign, lines);
    }
    if (plan.mainPage) {
        AddMainPageLines(*plan.mainPage, lines);
    }
    if (plan.categories) {
        AddCategoryLines(*plan.categories, lines);
    }
    if (plan.passwordAsked) {
        // The line a run shows when the marketplace asks for the transaction password.
        lines.push_back(*ProgressLine({kTransactionPassword, 0, 0, {}}));
    }
    if (!plan.problem.empty()) {
        lines.push_back(FillIn(Translate("cannot plan: {}"), {plan.problem}));
    }
    lines.push_back(plan.CanRun() ? Translate("a run could go ahead")
                                  : Translate("a run could not go ahead"));
    return lines;
}

std::string PlanJson(const std::string& templateFolder, const DecorationPlan& plan) {
    Json::Value json(Json::objectValue);
    json["template"] = templateFolder;
    json["canRun"] = plan.CanRun();
    json["templateErrors"] = JsonList(plan.templateErrors);
    json["templateErrorCodes"] = JsonList(plan.templateErrorCodes);
    json["problem"] = plan.problem;
    json["problemCode"] = plan.problemCode;
    json["passwordAsked"] = plan.passwordAsked;
    if (plan.shopSign) {
        Json::Value& sign = json["shopSign"];
        sign["picture"] = plan.shopSign->picture;
        sign["bytes"] = Json::UInt64(plan.shopSign->bytes);
        sign["chunked"] = plan.shopSign->chunked;
        sign["headerAdded"] = plan.shopSign->headerAdded;
        sign["removedModules"] = JsonList(plan.shopSign->removedModules);
    }
    if (plan.mainPage) {
        Json::Value& main = json["mainPage"];
        main["pageText"] = plan.mainPage->pageText;
        main["pictures"] = JsonList(plan.mainPage->pictures);
        main["replacedModules"] = JsonList(plan.mainPage->replacedModules);
        main["albumFolder"] = plan.mainPage->albumFolder;
        main["oldAlbumFolders"] = JsonList(plan.mainPage->oldAlbumFolders);
        main["oldPictures"] = JsonList(plan.mainPage->oldPictures);
    }
    if (plan.categories) {
        Json::Value& categories = json["categories"];
        categories["deleted"] = JsonList(plan.categories->deleted);
        categories["created"] = JsonList(plan.categories->created);
        categories["albumFolder"] = plan.categories->albumFolder;
        categories["oldAlbumFolders"] = JsonList(plan.categories->oldAlbumFolders);
        categories["oldPictures"] = JsonList(plan.categories->oldPictures);
    }
    return JsonDocumentText(json);
}

}  // namespace kesto
