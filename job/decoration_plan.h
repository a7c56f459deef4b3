#pragma once
// What a decoration would change in the shop, found with reading requests only (the layout, the
// category list, the album's folders): the plan `kesto-decorate --plan` prints before a run.

#include <optional>
#include <string>
#include <vector>

#include "job/decoration_job.h"

namespace kesto {

struct ShopSession;

// A module of the shop's layout as the plan names it.
struct PlannedModule {
    std::string fsid;
    std::string name;  // the module's name in the layout ("自定义内容"); may be empty
};

struct ShopSignPlan {
    std::string picture;  // "head/sign.gif"; empty: no picture, the shop sign stays
    unsigned long long bytes = 0;
    bool chunked = false;
    bool headerAdded = false;                   // the banner has no shop header yet
    std::vector<PlannedModule> removedModules;  // banner modules the new header replaces
};

struct MainPagePlan {
    std::vector<std::string> pictures;           // uploaded into the album folder, in order
    std::string pageText;                        // "main/content.txt"
    std::vector<PlannedModule> replacedModules;  // custom-content modules replaced
    std::string albumFolder;                     // the album folder made for the pictures
    std::vector<std::string> oldAlbumFolders;    // earlier folders removed once the page is saved
    std::vector<std::string> oldPictures;        // the pictures they hold (names)
};

struct CategoriesPlan {
    // the shop's categories now ("parent/child" for a child; "#id" when the list gives no names)
    std::vector<std::string> deleted;
    std::vector<std::string> created;          // the template's tree, the same way
    std::string albumFolder;                   // the album folder made for the pictures
    std::vector<std::string> oldAlbumFolders;  // earlier folders removed once the tree is made
    std::vector<std::string> oldPictures;      // the pictures they hold (names)
};

struct DecorationPlan {
    std::vector<std::string> templateErrors;      // the check before a run; a run would stop there
    std::vector<std::string> templateErrorCodes;  // each error's code, in the same order
    std::string problem;         // why the plan could not be made (a reading request failed)
    std::string problemCode;     // the problem's reason code (docs/json.md); empty without one
    bool passwordAsked = false;  // the marketplace asks for the transaction password
    std::optional<ShopSignPlan> shopSign;
    std::optional<MainPagePlan> mainPage;
    std::optional<CategoriesPlan> categories;

    bool CanRun() const { return templateErrors.empty() && problem.empty(); }
};

// Plans the request's ticked areas of the template as read (ReadTemplateFolder) for the
// logged-in shop. Sends only reading requests.
DecorationPlan PlanDecoration(const JobRequest& request, const TemplateFolder& folder,
                              ShopSession& session);

// The plan in words, one change per line.
std::vector<std::string> PlanLines(const DecorationPlan& plan);

// The plan as one JSON document.
std::string PlanJson(const std::string& templateFolder, const DecorationPlan& plan);

}  // namespace kesto
