#include "market-sim/album_handlers.h"

#include "market-sim/form_fields.h"
#include "market-sim/login_check.h"
#include "market-sim/login_pages.h"
#include "market/hosts.h"

namespace kesto::sim {
namespace {

constexpr std::size_t kMaxFolderName = 64;

bool RequireMethod(Exchange& exchange, const MarketContext& context, const char* method,
                   const ErrorBody& errorBody) {
    if (exchange.request.method != method) {
        Refuse(exchange, context, 405, exchange.request.method + " is not allowed here", errorBody);
        return false;
    }
    return true;
}

}  // namespace

void AnswerAlbumXml(Exchange& exchange, const MarketContext& context, const std::string& inner) {
    const char* status = context.answerMode == AnswerMode::kRich ? "<errcode>0</errcode>" : "";
    Answer(exchange, context, 200,
           std::string("<?xml version=\"1.0\"?>\n<result>") + status + inner + "</result>\n",
           "text/xml");
}

namespace {

void ShowAlbumPage(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, HtmlErrorBody);
    if (!identity || !RequireMethod(exchange, context, "GET", HtmlErrorBody) ||
        !RequireQuery(exchange, context, "PTAG=1015.1.53", HtmlErrorBody)) {
        return;
    }
    const auto lock = context.market.Lock();
    if (context.market.FindShop(identity->userNumber)->passwordRequired) {
        Answer(exchange, context, 200, TradePasswordRequiredPage(), "text/html");
        return;
    }
    Answer(exchange, context, 200,
           "<html><head><title>Kesto相册 - 相册管理</title></head>\n<body><h1>Kesto相册</h1>"
           "<p>管理您的图片。</p></body></html>\n",
           "text/html");
}

// The entries of a folder listing. Rich listings add the path listed, each entry's type and each
// picture's address to the name and id every entry has.
std::string ListingEntries(const std::string& path, const AlbumFolder& folder, AnswerMode mode) {
    const bool rich = mode == AnswerMode::kRich;
    const auto entry = [](const std::string& type, const std::string& name, const std::string& id,
                          const std::string& extra) {
        return "<file>" + type + "<name>" + EscapeMarkup(name) + "</name><id>" + id + "</id>" +
               extra + "</file>\n";
    };
    std::string entries = rich ? "<path>" + EscapeMarkup(path) + "</path>\n" : "\n";
    for (const auto& child : folder.folders) {
        entries += entry(rich ? "<type>dir</type>" : "", child.name, child.id, "");
    }
    for (const auto& picture : folder.pictures) {
        entries += entry(rich ? "<type>pic</type>" : "", picture.fileName, picture.id,
                         rich ? "<url>" + picture.address + "</url>" : "");
    }
    return entries;
}

void ListFolder(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, XmlErrcodeBody);
    if (!identity || !RequireMethod(exchange, context, "GET", XmlErrcodeBody)) {
        return;
    }
    const std::string path = RawQueryValue(exchange, "path");
    if (exchange.query != "path=" + path) {
        Refuse(exchange, context, 400, "the query must be path=<album path>", XmlErrcodeBody);
        return;
    }
    const auto lock = context.market.Lock();
    const AlbumFolder* folder =
        context.market.FindShop(identity->userNumber)->album.FindFolder(path);
    if (folder == nullptr) {
        Refuse(exchange, context, 404, "no album folder has the path " + path, XmlErrcodeBody);
        return;
    }
    AnswerAlbumXml(exchange, context, ListingEntries(path, *folder, context.answerMode));
}

void CreateFolder(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, XmlErrcodeBody);
    if (!identity || !RequireMethod(exchange, context, "POST", XmlErrcodeBody) ||
        !RequireQuery(exchange, context, "g_xx", XmlErrcodeBody)) {
        return;
    }
    const auto fields = ParseFormFields(exchange.body);
    if (!fields || FieldNames(*fields) != std::vector<std::string>{"path", "name"}) {
        Refuse(exchange, context, 400, "the body is not path=<album path>&name=<folder name>",
               XmlErrcodeBody);
        return;
    }
    const std::string& name = (*fields)[1].second;
    if (name.empty() || name.size() > kMaxFolderName) {
        Refuse(exchange, context, 400,
               name.empty()
                   ? "the folder name is empty"
                   : "the folder name is longer than " + std::to_string(kMaxFolderName) + " bytes",
               XmlErrcodeBody);
        return;
    }
    const auto lock = context.market.Lock();
    AlbumFolder* parent =
        context.market.FindShop(identity->userNumber)->album.FindFolder((*fields)[0].second);
    if (parent == nullptr) {
        Refuse(exchange, context, 404, "no album folder has the path " + (*fields)[0].second,
               XmlErrcodeBody);
        return;
    }
    for (const auto& child : parent->folders) {
        if (child.name == name) {
            Refuse(exchange, context, 409, "a folder named " + name + " exists already",
                   XmlErrcodeBody);
            return;
        }
    }
    parent->folders.push_back({context.market.NewId(), name, {}, {}});
    AnswerAlbumXml(
        exchange, context,
        "<name>" + EscapeMarkup(name) + "</name><id>" + parent->folders.back().id + "</id>");
}

void DeleteItems(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, XmlErrcodeBody);
    if (!identity || !RequireMethod(exchange, context, "POST", XmlErrcodeBody) ||
        !RequireQuery(exchange, context, "", XmlErrcodeBody)) {
        return;
    }
    const auto fields = ParseFormFields(exchange.body);
    const std::string items =
        fields && fields->size() == 1 && (*fields)[0].first == "items" ? (*fields)[0].second : "";
    if (items.size() < 3 || items.substr(items.size() - 2) != ":0") {
        Refuse(exchange, context, 400, "the body is not items=<album path>:0", XmlErrcodeBody);
        return;
    }
    const std::string path = items.substr(0, items.size() - 2);
    const auto lock = context.market.Lock();
    Album& album = context.market.FindShop(identity->userNumber)->album;
    // Deleting by a picture's path is an extra of rich answers; the documented item is a folder.
    if (context.answerMode == AnswerMode::kDocumented && album.FindPictureAt(path) != nullptr) {
        Refuse(exchange, context, 400, "the path " + path + " names a picture, not a folder",
               XmlErrcodeBody);
        return;
    }
    if (!album.RemoveItem(path)) {
        Refuse(exchange, context, 404, "nothing in the album has the path " + path, XmlErrcodeBody);
        return;
    }
    AnswerAlbumXml(exchange, context,
                   context.answerMode == AnswerMode::kRich
                       ? "<deleted>" + EscapeMarkup(path) + "</deleted>"
                       : std::string());
}

}  // namespace

std::string PictureAddress(const std::string& userNumber, const std::string& pictureId,
                           const std::string& extension) {
    return hosts::Address(hosts::kAlbum) + "/photo/" + userNumber + "/" + pictureId + "." +
           extension;
}

void HandleAlbum(Exchange& exchange, const MarketContext& context) {
    const std::string& path = exchange.path;
    if (path == "/album/photomanage") {
        ShowAlbumPage(exchange, context);
    } else if (path == "/album/dirlist") {
        ListFolder(exchange, context);
    } else if (path == "/album/createdir") {
        CreateFolder(exchange, context);
    } else if (path == "/album/batchdel") {
        DeleteItems(exchange, context);
    } else if (path == "/album/UpReq") {
        HandleUploadRequest(exchange, context);
    } else if (path == "/album/UploadPicActivex") {
        HandlePictureUpload(exchange, context);
    } else if (path.rfind("/photo/", 0) == 0) {
        HandlePictureDownload(exchange, context);
    } else {
        Refuse(exchange, context, 404, "no such endpoint", HtmlErrorBody);
    }
}

}  // namespace kesto::sim
