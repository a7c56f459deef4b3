#include "market-sim/shop_json.h"

#include "market-sim/layout_model.h"

namespace kesto::sim {
namespace {

Json::Value FolderToJson(const AlbumFolder& folder) {
    Json::Value json(Json::objectValue);
    json["id"] = folder.id;
    json["name"] = folder.name;
    Json::Value folders(Json::arrayValue);
    for (const auto& child : folder.folders) {
        folders.append(FolderToJson(child));
    }
    json["folders"] = folders;
    Json::Value pictures(Json::arrayValue);
    for (const auto& picture : folder.pictures) {
        Json::Value entry(Json::objectValue);
        entry["id"] = picture.id;
        entry["fileName"] = picture.fileName;
        entry["address"] = picture.address;
        entry["size"] = Json::UInt64(picture.bytes.size());
        pictures.append(entry);
    }
    json["pictures"] = pictures;
    return json;
}

Json::Value FileToJson(const std::optional<StoredFile>& file) {
    if (!file) {
        return Json::Value(Json::nullValue);
    }
    Json::Value json(Json::objectValue);
    json["fileName"] = file->fileName;
    json["size"] = Json::UInt64(file->bytes.size());
    return json;
}

}  // namespace

Json::Value ShopToJson(const Shop& shop) {
    Json::Value json(Json::objectValue);
    json["userNumber"] = shop.userNumber;
    json["nickname"] = shop.nickname;
    json["passwordRequired"] = shop.passwordRequired;
    json["layout"] = LayoutToJson(shop.layout);
    Json::Value contents(Json::objectValue);
    for (const auto& frame : shop.layout.frames) {
        for (const auto& module : frame.modules) {
            if (module.mid == kCustomContentMid) {
                contents[module.fsid] = module.content;
            }
        }
    }
    json["customContent"] = contents;
    json["sign"] = FileToJson(shop.sign);
    json["pendingSign"] = FileToJson(shop.pendingSign);
    Json::Value categories(Json::arrayValue);
    for (const auto& category : shop.categories) {
        Json::Value entry(Json::objectValue);
        entry["id"] = category.id;
        entry["parentId"] = category.parentId;
        entry["name"] = category.name;
        entry["pictureAddress"] = category.pictureAddress;
        categories.append(entry);
    }
    json["categories"] = categories;
    json["album"] = FolderToJson(shop.album.Top());
    return json;
}

}  // namespace kesto::sim
