#pragma once
// The layout step's requests to the manage host: reading and saving the shop layout, and
// reading the content-information page in which the modules' server-side identities (fsid)
// are found.

#include <string>
#include <string_view>

namespace kesto {

struct ShopSession;

// The module names whose fsid the area updates look up: the shop header module ("shop sign")
// and the custom-content module.
inline constexpr char kShopSignModule[] = "店铺招牌";
inline constexpr char kCustomContentModule[] = "自定义内容";

// The layout step of a job: reads the layout, adds a shop header module (shop sign ticked, none
// present) and a fresh custom-content module (main page ticked) and saves it. A layout answer
// without an editable document is never saved back (result 0). Otherwise the save's result, or
// the read's when nothing needed saving.
int SaveShopLayout(bool shopSign, bool mainPage);

// 1 with a non-empty answer, -1 with an empty one.
int ReadShopLayout(std::string& answer);

// 1 saved, 0 refused, -1 no answer.
int UpdateShopLayout(const std::string& layoutText);

// Reads the content-information page into shopData (see ExtractShopData); on the
// transaction-password page tells the session's dialog and returns 0.
int ReadContentInfo(ShopSession& session, std::string& shopData);

// The fsid digits of the named module in the shop data; empty when the name is neither module's
// or nothing matches.
std::string FindModuleFsid(std::string_view moduleName, std::string_view shopData);

// ReadContentInfo, then FindModuleFsid; empty when the page could not be read.
std::string GetModuleFsid(ShopSession& session, std::string_view moduleName);

}  // namespace kesto
