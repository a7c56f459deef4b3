#include "market-sim/layout_model.h"

namespace kesto::sim {
namespace {

Json::Value ModuleToJson(const LayoutModule& module) {
    Json::Value json(Json::objectValue);
    json["area"] = module.area;
    json["mid"] = module.mid;
    json["name"] = module.name;
    json["fsid"] = module.fsid;
    json["action"] = "1";
    json["order"] = module.order;
    json["mindex"] = module.mindex;
    json["tssid"] = module.tssid;
    json["aid"] = module.aid;
    return json;
}

Json::Value SegmentToJson(const LayoutSegment& segment, bool isFrame) {
    Json::Value json(Json::objectValue);
    json["sid"] = segment.sid;
    json["segnumber"] = segment.segnumber;
    if (isFrame) {
        json["order"] = segment.order;
        json["fid"] = segment.fid;
    }
    json["fsid"] = segment.fsid;
    json["action"] = segment.action;
    Json::Value areas(Json::arrayValue);
    for (const auto& module : segment.modules) {
        areas.append(ModuleToJson(module));
    }
    json["areas"] = areas;
    return json;
}

template <typename Layout, typename Module>
Module* FindModuleIn(Layout& layout, const std::string& fsid) {
    for (auto& module : layout.banner.modules) {
        if (module.fsid == fsid) {
            return &module;
        }
    }
    for (auto& frame : layout.frames) {
        for (auto& module : frame.modules) {
            if (module.fsid == fsid) {
                return &module;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::string ModuleName(const std::string& mid) {
    if (mid == kShopHeaderMid) {
        return "店铺招牌";
    }
    if (mid == kCustomContentMid) {
        return "自定义内容";
    }
    if (mid == "3") {
        return "店铺信息";
    }
    if (mid == "7") {
        return "店铺导航";
    }
    return "模块" + mid;
}

Json::Value LayoutToJson(const ShopLayout& layout) {
    Json::Value json(Json::objectValue);
    json["shopBanner"] = SegmentToJson(layout.banner, false);
    Json::Value frames(Json::arrayValue);
    for (const auto& frame : layout.frames) {
        frames.append(SegmentToJson(frame, true));
    }
    json["shopFrame"] = frames;
    return json;
}

const LayoutModule* FindModule(const ShopLayout& layout, const std::string& fsid) {
    return FindModuleIn<const ShopLayout, const LayoutModule>(layout, fsid);
}

LayoutModule* FindModule(ShopLayout& layout, const std::string& fsid) {
    return FindModuleIn<ShopLayout, LayoutModule>(layout, fsid);
}

}  // namespace kesto::sim
