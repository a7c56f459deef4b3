#include "job/shop_layout.h"

#include <json/reader.h>

#include <memory>
#include <optional>
#include <vector>

namespace kesto {

namespace {

constexpr char kActionAdd[] = "2";
constexpr char kActionRemove[] = "3";
// The display name of a new custom-content module ("custom content").
constexpr char kCustomContentName[] = "自定义内容";

bool FieldIs(const Json::Value& record, const char* key, const char* text) {
    return record.isObject() && record.isMember(key) && record[key] == text;
}

bool IsObjectOrNull(const Json::Value& value) {
    return value.isObject() || value.isNull();
}

// Keeps the leading frames that are objects or null, each with its module records that are
// objects or null (entries past their count are dropped whatever their kind).
void KeepWellFormedFrames(Json::Value& frames) {
    Json::ArrayIndex frameCount = 0;
    while (frameCount < frames.size() && IsObjectOrNull(frames[frameCount])) {
        Json::Value& frame = frames[frameCount];
        if (frame.isObject() && frame["areas"].isArray()) {
            Json::Value& areas = frame["areas"];
            Json::ArrayIndex moduleCount = 0;
            for (const Json::Value& module : areas) {
                moduleCount += IsObjectOrNull(module) ? 1u : 0u;
            }
            areas.resize(moduleCount);
        }
        ++frameCount;
    }
    frames.resize(frameCount);
}

// A document without a banner takes its first frame as the banner; the other frames keep their
// order.
void PromoteFirstFrameToBanner(Json::Value& layout) {
    Json::Value& frames = layout["shopFrame"];
    if (!frames.isArray() && !frames.isNull()) {
        return;
    }
    KeepWellFormedFrames(frames);
    if (frames.empty()) {
        layout["shopBanner"] = Json::Value();
        return;
    }
    layout["shopBanner"] = frames[0];
    Json::Value removed;
    frames.removeIndex(0, &removed);
}

Json::Value Module(std::initializer_list<std::pair<const char*, const char*>> fields) {
    Json::Value module(Json::objectValue);
    for (const auto& [key, value] : fields) {
        module[key] = value;
    }
    return module;
}

std::string SegmentLine(const std::string& head, const std::string& fsid,
                        const std::string& action) {
    return head + "^0^0^0^" + fsid + "^" + action + "^0^0";
}

std::string ModuleLine(const std::string& head, const Json::Value& module,
                       const std::string& action) {
    return head + "^" + LayoutField(module, "area") + "^" + LayoutField(module, "mid") + "^" +
           LayoutField(module, "order") + "^" + LayoutField(module, "fsid") + "^" + action + "^" +
           LayoutField(module, "tssid") + "^0";
}

// A module not yet created that is to be removed is left out of the text.
bool IsDroppedModule(const Json::Value& module) {
    return LayoutField(module, "fsid") == "0" && LayoutField(module, "action") == kActionRemove;
}

const Json::Value& Areas(const Json::Value& segment) {
    static const Json::Value kNone(Json::arrayValue);
    if (!segment.isObject() || !segment["areas"].isArray()) {
        return kNone;
    }
    return segment["areas"];
}

bool HasEditableModules(const Json::Value& segment) {
    if (segment.isNull()) {
        return true;
    }
    if (!segment.isObject()) {
        return false;
    }
    const Json::Value& areas = segment["areas"];
    if (areas.isNull()) {
        return true;
    }
    if (!areas.isArray()) {
        return false;
    }
    for (const Json::Value& module : areas) {
        if (!IsObjectOrNull(module)) {
            return false;
        }
    }
    return true;
}

const Json::Value& BannerOf(const Json::Value& layout) {
    return layout.isObject() ? layout["shopBanner"] : Json::Value::nullSingleton();
}

// How many banner modules come before the first one without a "mid"; nothing when a shop header
// is among them.
std::optional<Json::ArrayIndex> WalkedBannerModules(const Json::Value& layout) {
    Json::ArrayIndex walked = 0;
    for (const Json::Value& module : Areas(BannerOf(layout))) {
        if (!module.isObject() || !module.isMember("mid")) {
            break;
        }
        if (module["mid"] == kShopHeaderMid) {
            return std::nullopt;
        }
        ++walked;
    }
    return walked;
}

// Marks for removal the segment's modules the filter picks; how many.
int MarkModules(Json::Value& segment, const ModuleFilter& remove) {
    Json::Value& areas = segment["areas"];
    if (!areas.isArray()) {
        return 0;
    }
    int marked = 0;
    for (Json::Value& module : areas) {
        if (module.isObject() && remove({LayoutField(module, "area"), LayoutField(module, "mid"),
                                         LayoutField(module, "fsid")})) {
            module["action"] = kActionRemove;
            ++marked;
        }
    }
    return marked;
}

}  // namespace

bool IsEditableLayout(const Json::Value& layout) {
    if (!layout.isObject() || !layout["shopBanner"].isObject() ||
        !HasEditableModules(layout["shopBanner"])) {
        return false;
    }
    const Json::Value& frames = layout["shopFrame"];
    if (frames.isNull()) {
        return true;
    }
    if (!frames.isArray()) {
        return false;
    }
    for (const Json::Value& frame : frames) {
        if (!HasEditableModules(frame)) {
            return false;
        }
    }
    return true;
}

std::string ExtractLayoutDocument(std::string_view answer) {
    const std::size_t data = answer.find("\"data\":");
    const std::size_t brace = answer.rfind('}');
    const long long start = data == std::string_view::npos ? -1 : static_cast<long long>(data);
    const long long last = brace == std::string_view::npos ? -1 : static_cast<long long>(brace);
    const long long from = start + 7;
    const long long length = last - start;
    if (from < 0 || length <= 0 || from >= static_cast<long long>(answer.size())) {
        return {};
    }
    return std::string(
        answer.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(length)));
}

int ParseShopLayout(std::string_view text, Json::Value& layout) {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["strictRoot"] = false;
    builder["failIfExtra"] = false;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value parsed;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &parsed, &errors)) {
            return 0;
        }
    } catch (const Json::Exception&) {
        // A document nested deeper than the reader's limit: it does not parse either.
        return 0;
    }
    layout = std::move(parsed);
    if (layout.isObject() && !layout.isMember("shopBanner")) {
        PromoteFirstFrameToBanner(layout);
    }
    return 1;
}

int AddShopHeader(Json::Value& layout) {
    if (!WalkedBannerModules(layout)) {
        return 0;
    }
    layout["shopBanner"]["areas"].append(Module({{"action", kActionAdd},
                                                 {"area", "0"},
                                                 {"fsid", "0"},
                                                 {"mid", kShopHeaderMid},
                                                 {"name", "ShopHeader"},
                                                 {"tssid", "0"},
                                                 {"order", "1"},
                                                 {"aid", "0"}}));
    return 1;
}

std::string LayoutField(const Json::Value& record, const char* key) {
    if (!record.isObject()) {
        return "0";
    }
    const Json::Value& value = record[key];
    if (value.isString() || value.isNumeric() || value.isBool()) {
        return value.asString();
    }
    return "0";
}

std::vector<Json::Value> ReplacedBannerModules(const Json::Value& layout) {
    const std::optional<Json::ArrayIndex> walked = WalkedBannerModules(layout);
    const Json::Value& modules = Areas(BannerOf(layout));
    std::vector<Json::Value> replaced;
    for (Json::ArrayIndex i = 0; walked && i < *walked; ++i) {
        replaced.push_back(modules[i]);
    }
    return replaced;
}

std::vector<std::string> ReplacedBannerFsids(const Json::Value& layout) {
    std::vector<std::string> fsids;
    for (const Json::Value& module : ReplacedBannerModules(layout)) {
        fsids.push_back(LayoutField(module, "fsid"));
    }
    return fsids;
}

std::set<std::string> ModuleFsids(const Json::Value& layout) {
    std::set<std::string> fsids;
    const auto collect = [&fsids](const Json::Value& segment) {
        for (const Json::Value& module : Areas(segment)) {
            if (const std::string fsid = LayoutField(module, "fsid"); fsid != "0") {
                fsids.insert(fsid);
            }
        }
    };
    collect(BannerOf(layout));
    const Json::Value& frames =
        layout.isObject() ? layout["shopFrame"] : Json::Value::nullSingleton();
    if (frames.isArray()) {
        for (const Json::Value& frame : frames) {
            collect(frame);
        }
    }
    return fsids;
}

int MarkBannerModules(Json::Value& layout, const ModuleFilter& remove) {
    if (!layout.isObject() || !layout["shopBanner"].isObject()) {
        return 0;
    }
    return MarkModules(layout["shopBanner"], remove);
}

int MarkCustomContent(Json::Value& layout, const ModuleFilter& remove) {
    Json::Value& frames = layout["shopFrame"];
    if (!frames.isArray() || frames.empty()) {
        return -1;
    }
    return MarkModules(frames[0], [&remove](const ModuleKey& module) {
        return module.area == "1" && module.mid == kCustomContentMid && remove(module);
    });
}

int ListAddedModulesForRemoval(Json::Value& before, const Json::Value& current,
                               const ModuleFilter& pick) {
    const std::set<std::string> known = ModuleFsids(before);
    int listed = 0;
    const auto carry = [&](Json::Value& segment, const Json::Value& now) {
        for (const Json::Value& module : Areas(now)) {
            const ModuleKey key{LayoutField(module, "area"), LayoutField(module, "mid"),
                                LayoutField(module, "fsid")};
            if (module.isObject() && key.fsid != "0" && !known.contains(key.fsid) && pick(key)) {
                Json::Value removed = module;
                removed["action"] = kActionRemove;
                segment["areas"].append(removed);
                ++listed;
            }
        }
    };
    carry(before["shopBanner"], BannerOf(current));
    Json::Value& frames = before["shopFrame"];
    const Json::Value& currentFrames =
        current.isObject() ? current["shopFrame"] : Json::Value::nullSingleton();
    if (!frames.isArray() || !currentFrames.isArray()) {
        return listed;
    }
    for (Json::Value& frame : frames) {
        for (const Json::Value& now : currentFrames) {
            if (frame.isObject() && now.isObject() &&
                LayoutField(frame, "sid") == LayoutField(now, "sid")) {
                carry(frame, now);
                break;
            }
        }
    }
    return listed;
}

int MarkOldCustomContent(Json::Value& layout) {
    return MarkCustomContent(layout, [](const ModuleKey&) { return true; }) < 0 ? -1 : 1;
}

int AddCustomContent(Json::Value& layout) {
    Json::Value& frames = layout["shopFrame"];
    if (!frames.isArray() || frames.empty()) {
        return -1;
    }
    Json::Value& frame = frames[0];
    const Json::Value modules = Areas(frame);
    Json::Value added = Module({{"area", "1"},
                                {"action", kActionAdd},
                                {"fsid", "0"},
                                {"mid", kCustomContentMid},
                                {"name", kCustomContentName},
                                {"order", "0"},
                                {"tssid", "0"}});
    Json::Value list(Json::arrayValue);
    if (FieldIs(frame, "fid", "1")) {
        if (modules.empty()) {
            return -1;
        }
        added["mindex"] = "0";
        list.append(added);
        for (const Json::Value& module : modules) {
            list.append(module);
        }
    } else {
        Json::ArrayIndex leftColumn = 0;
        for (const Json::Value& module : modules) {
            leftColumn += FieldIs(module, "area", "0") ? 1u : 0u;
        }
        for (Json::ArrayIndex i = 0; i < modules.size(); ++i) {
            if (i == leftColumn) {
                list.append(added);
            }
            list.append(modules[i]);
        }
        if (leftColumn >= modules.size()) {
            list.append(added);
        }
        for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
            Json::Value& module = list[i];
            const int order = FieldIs(module, "area", "0")
                                  ? static_cast<int>(i)
                                  : 100 - static_cast<int>(leftColumn) + static_cast<int>(i);
            module["order"] = std::to_string(order);
            module["mindex"] = std::to_string(i);
        }
    }
    frame["areas"] = std::move(list);
    return 1;
}

std::string NewCustomContentOrder(const Json::Value& layout) {
    const Json::Value& frames =
        layout.isObject() ? layout["shopFrame"] : Json::Value::nullSingleton();
    if (!frames.isArray() || frames.empty()) {
        return {};
    }
    for (const Json::Value& module : Areas(frames[0])) {
        if (FieldIs(module, "action", kActionAdd) && FieldIs(module, "mid", kCustomContentMid) &&
            LayoutField(module, "fsid") == "0") {
            return LayoutField(module, "order");
        }
    }
    return {};
}

std::string BuildLayoutInfo(const Json::Value& layout) {
    std::vector<std::string> lines;
    const Json::Value& banner =
        layout.isObject() ? layout["shopBanner"] : Json::Value::nullSingleton();
    const std::string bannerHead =
        LayoutField(banner, "sid") + "^" + LayoutField(banner, "segnumber") + "^0";
    const std::string bannerFsid = LayoutField(banner, "fsid");
    lines.push_back(SegmentLine(bannerHead, bannerFsid, LayoutField(banner, "action")));
    for (const Json::Value& module : Areas(banner)) {
        if (!IsDroppedModule(module)) {
            lines.push_back(ModuleLine(bannerHead, module, LayoutField(module, "action")));
        }
    }
    const Json::Value& frames =
        layout.isObject() ? layout["shopFrame"] : Json::Value::nullSingleton();
    if (frames.isArray()) {
        for (const Json::Value& frame : frames) {
            const std::string frameAction = LayoutField(frame, "action");
            if (frameAction == kActionRemove && LayoutField(frame, "segnumber") == "0") {
                continue;
            }
            const std::string head = LayoutField(frame, "sid") + "^" +
                                     LayoutField(frame, "segnumber") + "^" +
                                     LayoutField(frame, "order");
            lines.push_back(SegmentLine(head, bannerFsid, frameAction));
            for (const Json::Value& module : Areas(frame)) {
                if (!IsDroppedModule(module)) {
                    const std::string action = frameAction == kActionRemove
                                                   ? kActionRemove
                                                   : LayoutField(module, "action");
                    lines.push_back(ModuleLine(head, module, action));
                }
            }
        }
    }
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "|") + line;
    }
    return text;
}

}  // namespace kesto
