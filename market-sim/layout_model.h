#pragma once
// A shop page's layout as the manage host keeps it: a banner segment and frame segments, each
// with its modules in order.

#include <json/value.h>

#include <string>
#include <vector>

namespace kesto::sim {

inline constexpr char kShopHeaderMid[] = "9";
inline constexpr char kCustomContentMid[] = "13";

struct LayoutModule {
    std::string area;
    std::string mid;
    std::string name;
    std::string fsid;
    std::string order;
    std::string mindex;
    std::string tssid = "0";
    std::string aid = "0";
    std::string content;  // the custom-content module's text (UTF-8 HTML)
};

struct LayoutSegment {
    std::string sid;
    std::string segnumber;
    std::string order;
    std::string fid;
    std::string fsid;
    std::string action = "1";
    std::vector<LayoutModule> modules;
};

struct ShopLayout {
    LayoutSegment banner;
    std::vector<LayoutSegment> frames;
};

// The display name the server gives a module of that kind.
std::string ModuleName(const std::string& mid);

// The layout document as the layout endpoint hands it out: every value a JSON string.
Json::Value LayoutToJson(const ShopLayout& layout);

// The module with that fsid anywhere in the layout, or null.
const LayoutModule* FindModule(const ShopLayout& layout, const std::string& fsid);
LayoutModule* FindModule(ShopLayout& layout, const std::string& fsid);

}  // namespace kesto::sim
