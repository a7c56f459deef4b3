#pragma once
// The shop layout document: the banner segment and the frame segments with their modules, as
// the manage host's layoutshow answers it, the edits a decoration makes to it (a shop header
// module for the shop sign, a fresh custom-content module for the main page) and its flattening
// into the caret-separated layout text that layoutupdate takes.
//
// The document's texts are UTF-8 here; the request layer converts the flattened text to the
// bytes the service takes.

#include <json/value.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The module kinds ("mid") the decoration adds: the shop header and the custom-content module.
inline constexpr char kShopHeaderMid[] = "9";
inline constexpr char kCustomContentMid[] = "13";

// The JSON text of the layout in a layoutshow answer: from just after the first "\"data\":" up
// to (not including) the last "}", cut short at the end of the answer.
std::string ExtractLayoutDocument(std::string_view answer);

// Parses the layout text into layout (comments allowed, any root value, text after the first
// complete value ignored). A document without "shopBanner" takes its first frame as the banner.
// Returns 1, or 0 when the text does not parse or nests deeper than the reader's limit (layout is
// then untouched).
int ParseShopLayout(std::string_view text, Json::Value& layout);

// Whether the document has the shape the edits and the flattening work on: an object with a
// banner object, frames in an array, modules in arrays, every segment and module an object (or
// null). A layout answer without such a document is never edited or sent back.
bool IsEditableLayout(const Json::Value& layout);

// The banner modules a new shop header takes the place of: those before the first module
// without a "mid". Returns 1 and appends a new shop header module to the banner, the other
// modules kept (the shop sign update removes them once the new sign is in place, see
// ReplacedBannerFsids); returns 0 and changes nothing when one of those modules is a shop header
// already: the banner then stays as it is.
int AddShopHeader(Json::Value& layout);

// A field as the layout text carries it. The service sends strings; a number is written in
// decimal, and a missing field or one of another kind as "0", the text's neutral value.
std::string LayoutField(const Json::Value& record, const char* key);

// The banner modules a new shop header would take the place of (see AddShopHeader), each an
// object; empty when a shop header is among them.
std::vector<Json::Value> ReplacedBannerModules(const Json::Value& layout);

// The fsids of those modules.
std::vector<std::string> ReplacedBannerFsids(const Json::Value& layout);

// Every fsid the layout's modules carry, "0" (not yet created) left out.
std::set<std::string> ModuleFsids(const Json::Value& layout);

// A module's column, kind and server-side identity, as the layout text writes them.
struct ModuleKey {
    std::string area;
    std::string mid;
    std::string fsid;
};
using ModuleFilter = std::function<bool(const ModuleKey& module)>;

// Marks for removal the banner modules the filter picks; how many it marked.
int MarkBannerModules(Json::Value& layout, const ModuleFilter& remove);

// Marks for removal the first frame's custom-content modules of column 1 that the filter picks.
// How many it marked, or -1 without frames.
int MarkCustomContent(Json::Value& layout, const ModuleFilter& remove);

// Appends to each segment of before (the layout as it was read before an edit was saved) the
// modules of the same segment in current (the layout read since) that before did not hold and
// that the filter picks, each marked for removal: saved, before puts the layout back as it was.
// Segments are matched by "sid". How many modules it appended.
int ListAddedModulesForRemoval(Json::Value& before, const Json::Value& current,
                               const ModuleFilter& pick);

// Marks every custom-content module of the first frame's column 1 for removal. 1, or -1 without
// frames.
int MarkOldCustomContent(Json::Value& layout);

// Adds a new custom-content module to the first frame. 1, or -1 when nothing was added.
int AddCustomContent(Json::Value& layout);

// The "order" the custom-content module AddCustomContent added carries: the fsid lookup finds
// the module by it. Empty when the first frame holds no such module.
std::string NewCustomContentOrder(const Json::Value& layout);

// The layout text: one line per segment and kept module, joined by "|".
std::string BuildLayoutInfo(const Json::Value& layout);

}  // namespace kesto
