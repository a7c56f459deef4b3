#pragma once
// The layout requests to the manage host: reading and saving the shop layout (the edits each area
// update makes when its replacement is ready), and reading the content-information page in which
// the modules' server-side identities (fsid) are found.
//
// Every failure sets the caller's failure, "step: what was met", in words a shop owner can act
// on; the transaction-password page met in any answer is told to the session's context. The
// requests go with the session's context.

#include <json/value.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "job/shop_layout.h"

namespace kesto {

struct JobContext;
struct ShopSession;

// The module names whose fsid the area updates look up: the shop header module ("shop sign")
// and the custom-content module.
inline constexpr char kShopSignModule[] = "店铺招牌";
inline constexpr char kCustomContentModule[] = "自定义内容";

// What adding the shop header did to the banner, so that the sign update can finish the change
// once the new sign is in place, or undo it.
struct BannerChange {
    // A save adding a shop header module went out (its outcome may be unknown).
    bool headerSent = false;
    // The layout as it was read before the header was added.
    Json::Value layoutBefore;
    // The banner modules the new header takes the place of; they stay until the sign is in.
    std::vector<std::string> replacedFsids;
};

// The shop sign's layout change: reads the layout and, when the banner holds no shop header,
// saves it with a new shop header module beside the banner's modules, noting in change what the
// sign update must finish or undo. A banner that holds a header stays as it is. A layout answer
// without an editable document is never saved back (result 0). Otherwise the save's result, or
// the read's when nothing needed saving.
int AddShopHeaderModule(ShopSession& session, std::string& failure, BannerChange& change);

// Reads the layout, lets edit change it, and saves it when edit reports a change. sent tells
// whether a save went out. 1 saved, or nothing needed saving; 0 the layout is not editable, the
// save was refused or the transaction-password page came; -1 a request got no answer. Failures
// are described under step. unreadable, when given, is set when the marketplace's layout answer
// holds no document that can be read and edited.
int EditShopLayout(ShopSession& session, std::string& failure, std::string_view step,
                   const std::function<bool(Json::Value& layout)>& edit, bool& sent,
                   bool* unreadable = nullptr);

// Puts the layout back as before (read before an edit was saved) shows it: saves that document
// again with every module the edit created that pick picks listed for removal, so the other
// modules keep their places. Nothing is saved (1) when the layout holds no such module; found,
// when given, tells whether it held one. Codes and failures as EditShopLayout.
int RestoreShopLayout(ShopSession& session, std::string& failure, std::string_view step,
                      const Json::Value& before, const ModuleFilter& pick, bool* found = nullptr);

// 1 with a non-empty answer, -1 with an empty one.
int ReadShopLayout(JobContext& context, std::string& answer);

// Reads the content-information page into shopData (see ExtractShopData). On the
// transaction-password page tells the session's context and returns 0.
int ReadContentInfo(ShopSession& session, std::string& failure, std::string& shopData);

// The fsid digits of the named module in the shop data; empty when the name is neither module's
// or nothing matches.
std::string FindModuleFsid(std::string_view moduleName, std::string_view shopData);

// The fsid of the custom-content module a layout edit has just added: the first match of the
// custom-content pattern, with the order the new module was given, whose fsid is not among the
// fsids the layout held before the edit (an old module may still carry the same order). Empty
// when none matches.
std::string FindNewCustomContentFsid(std::string_view shopData, std::string_view order,
                                     const std::set<std::string>& knownFsids);

// ReadContentInfo, then FindModuleFsid; empty when the page could not be read or holds no such
// module.
std::string GetModuleFsid(ShopSession& session, std::string& failure, std::string_view moduleName);

}  // namespace kesto
