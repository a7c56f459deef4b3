#include "market/album.h"

#include <utility>
#include <vector>

#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/transaction_password.h"
#include "support/ascii_text.h"
#include "support/text_conversion.h"
#include "support/url_encode.h"

namespace kesto {

namespace {

std::string AlbumAddress(std::string_view pathAndQuery) {
    return hosts::Address(hosts::kAlbum, pathAndQuery);
}

// The answer of one album request; empty when nothing arrived.
std::string AskAlbum(JobContext& context, std::string_view pathAndQuery, int method,
                     const std::string& body, bool encodeValues) {
    RequestOptions options;
    options.context = &context;
    std::string answer;
    HttpRequest(answer, AlbumAddress(pathAndQuery).c_str(), options, method,
                method == kMethodPost ? body.c_str() : nullptr, encodeValues);
    return answer;
}

// The answer of a folder request (list, create, delete). The transaction-password page counts
// as no answer, with its reason noted, so that a listing never reads it as an empty folder (and
// a second area folder is never made beside the first).
std::string AskAlbumFolders(JobContext& context, std::string_view pathAndQuery, int method,
                            const std::string& body, bool encodeValues) {
    std::string answer = AskAlbum(context, pathAndQuery, method, body, encodeValues);
    if (IsTransactionPasswordPage(answer)) {
        context.lastFailure = {TransactionPasswordReason(), false, "transaction-password"};
        return {};
    }
    return answer;
}

std::string_view Trim(std::string_view text) {
    return TrimmedAscii(text, " \t\r\n\v\f");
}

}  // namespace

int CheckAlbumPage(JobContext& context) {
    const std::string answer =
        AskAlbum(context, "/album/photomanage?PTAG=1015.1.53", kMethodGet, {}, true);
    if (answer.empty()) {
        return -1;
    }
    if (MeetsTransactionPassword(context, answer)) {
        return 0;
    }
    return answer.find("Kesto相册", 1) != std::string::npos ? 1 : 0;
}

int ListAlbumFolder(JobContext& context, std::string_view path, std::vector<AlbumItem>& items) {
    const std::string answer =
        AskAlbumFolders(context, "/album/dirlist?path=" + std::string(path), kMethodGet, {}, true);
    if (answer.empty()) {
        return -1;
    }
    // The text before each "<file>", and after the last one, is one entry; the walk ends at the
    // first empty piece, as a listing that starts with "<file>" has nothing before it.
    static constexpr std::string_view kEntry = "<file>";
    std::vector<AlbumItem> listed;
    std::string_view rest = answer;
    for (;;) {
        const std::size_t next = rest.find(kEntry);
        const std::string_view piece = rest.substr(0, next);
        if (piece.empty()) {
            break;
        }
        std::string name;
        std::string id;
        if (ExtractTag("name", piece, name) && ExtractTag("id", piece, id)) {
            std::string type;
            const bool folder = !ExtractTag("type", piece, type) || Trim(type) == "dir";
            listed.push_back({folder, std::string(Trim(name)), std::string(Trim(id))});
        }
        if (next == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(next + kEntry.size());
    }
    items = std::move(listed);
    return 1;
}

int FindAlbumFolder(JobContext& context, std::string_view name, std::string& id,
                    std::string_view path) {
    std::vector<AlbumItem> items;
    if (ListAlbumFolder(context, path, items) < 0) {
        return -1;
    }
    for (const AlbumItem& item : items) {
        if (item.name == name) {
            id = item.id;
            return 1;
        }
    }
    return 0;
}

int CreateAlbumFolder(JobContext& context, std::string_view parentPath, std::string_view name,
                      std::string& id) {
    // The name is encoded whole, however long it is.
    const std::string body =
        "path=" + std::string(parentPath) + "&name=" + UrlEncode(ToUtf8Limited(name));
    const std::string answer =
        AskAlbumFolders(context, "/album/createdir?g_xx", kMethodPost, body, false);
    if (answer.empty()) {
        return -1;
    }
    std::string created;
    if (answer.find(name) != std::string::npos && ExtractTag("id", answer, created)) {
        id = created;
        return 1;
    }
    return 0;
}

int DeleteAlbumItems(JobContext& context, std::string_view items) {
    const std::string body = "items=" + std::string(items) + ":0";
    return AskAlbumFolders(context, "/album/batchdel?", kMethodPost, body, true).empty() ? -1 : 1;
}

bool ExtractTag(std::string_view tag, std::string_view text, std::string& content) {
    std::string open = "<";
    open.append(tag).append(">");
    const std::size_t start = text.find(open);
    if (start == std::string_view::npos) {
        return false;
    }
    const std::size_t from = start + open.size();
    std::string close = "</";
    close.append(tag).append(">");
    const std::size_t end = text.find(close, from);
    if (end == std::string_view::npos) {
        return false;
    }
    content = std::string(text.substr(from, end - from));
    return true;
}

int RemoveAreaFolder(JobContext& context, std::string_view areaName) {
    std::string rootId;
    if (FindAlbumFolder(context, kAlbumRootFolder, rootId, "/") <= 0) {
        return 0;
    }
    std::string areaId;
    if (FindAlbumFolder(context, areaName, areaId, "/" + rootId + "/") <= 0) {
        return 0;
    }
    return DeleteAlbumItems(context, "/" + rootId + "/" + areaId) > 0 ? 1 : 0;
}

int CreateAreaFolder(JobContext& context, std::string_view areaName, std::string& path) {
    std::string rootId;
    if (FindAlbumFolder(context, kAlbumRootFolder, rootId, "/") == 0 &&
        CreateAlbumFolder(context, "/", kAlbumRootFolder, rootId) == 0) {
        return 0;
    }
    const std::string parent = "/" + rootId + "/";
    std::string areaId;
    if (CreateAlbumFolder(context, parent, areaName, areaId) <= 0) {
        return 0;
    }
    path = parent + areaId + "/";
    return 1;
}

}  // namespace kesto
