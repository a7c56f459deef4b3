// The album's upload protocol: the upload request (UpReq) announces the client once, then each
// picture travels with its thumbnail and thirteen fields in one request (UploadPicActivex).

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "market-sim/album_handlers.h"
#include "market-sim/login_check.h"
#include "market-sim/multipart_reader.h"
#include "market-sim/picture_check.h"
#include "market/hosts.h"
#include "platform/md5.h"
#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

constexpr std::size_t kAlbumQuota = 64 * 1024 * 1024;

std::string Md5Hex(std::string_view bytes) {
    Md5 md5;
    md5.Update(bytes.data(), bytes.size());
    std::string hex;
    for (const unsigned char byte : md5.Finish()) {
        std::array<char, 3> digits{};
        std::snprintf(digits.data(), digits.size(), "%02x", byte);
        hex += digits.data();
    }
    return hex;
}

bool IsFieldPart(const MultipartPart& part) {
    return !part.fileName &&
           part.headerLines == std::vector<std::string>{"Content-Disposition: form-data; name=\"" +
                                                        part.name + "\""};
}

std::string CheckUploadRequest(const MultipartBody& body, const Identity& identity) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ClientVersion", "120"},
        {"ExtendID", "/"},
        {"PicCount", "1"},
        {"TotalSize", ""},
        {"uin", identity.userNumber},
        {"skey", identity.sessionKey}};
    if (body.parts.size() != expected.size()) {
        return "the upload request must carry exactly six fields";
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& part = body.parts[i];
        if (!IsFieldPart(part) || part.name != expected[i].first) {
            return "field " + std::to_string(i + 1) + " must be " + expected[i].first;
        }
        const bool good =
            expected[i].second.empty() ? IsAsciiDigits(part.data) : part.data == expected[i].second;
        if (!good) {
            return "the field " + part.name + " has a wrong value";
        }
    }
    if (body.finalLineBreak) {
        return "the upload request's body must end right after its closing boundary";
    }
    return {};
}

// The batch format's file part headers for that part name and file.
std::vector<std::string> BatchFileHeaders(const std::string& name, const std::string& fileName) {
    return {"Content-disposition: form-data; name=\"" + name + "\";filename=\"" + fileName + "\"",
            "Content-type: " + UploadMimeType(fileName), "Content-Transfer-Encoding: binary"};
}

struct PictureRequest {
    const MultipartPart* picture = nullptr;
    const MultipartPart* thumbnail = nullptr;
    std::vector<std::pair<std::string, std::string>> fields;
};

std::string ReadPictureRequest(const MultipartBody& body, PictureRequest& request) {
    if (body.parts.size() < 2 || body.parts[0].name != "FileData" ||
        body.parts[1].name != "ThumbData" || !body.parts[0].fileName || !body.parts[1].fileName) {
        return "the parts FileData and ThumbData must come first";
    }
    request.picture = &body.parts[0];
    request.thumbnail = &body.parts[1];
    for (const MultipartPart* file : {request.picture, request.thumbnail}) {
        if (file->headerLines != BatchFileHeaders(file->name, *file->fileName)) {
            return "the " + file->name + " part's headers are not the batch format";
        }
        if (file->data.empty()) {
            return "the " + file->name + " part is empty";
        }
    }
    for (std::size_t i = 2; i < body.parts.size(); ++i) {
        if (!IsFieldPart(body.parts[i])) {
            return "the part " + body.parts[i].name + " is malformed";
        }
        request.fields.emplace_back(body.parts[i].name, body.parts[i].data);
    }
    if (!body.finalLineBreak) {
        return "the body does not end with a line break";
    }
    return {};
}

// The client names the type by the text after the last "." of the picture's full path; when the
// file name itself has no ".", that text comes from the folders and cannot be checked here.
bool PicTypeFits(const std::string& picType, const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? !picType.empty() : picType == fileName.substr(dot + 1);
}

std::string CheckPictureFields(const PictureRequest& request, const Identity& identity,
                               const Album& album) {
    const std::string& fileName = *request.picture->fileName;
    const std::vector<std::string> names = {
        "ClientVersion", "ClientCode", "uin",       "skey",    "DirPath",  "Compress", "MD5",
        "PicType",       "PicWidth",   "PicHeight", "PicSize", "FileName", "ThumbName"};
    if (request.fields.size() != names.size()) {
        return "the picture request must carry thirteen fields";
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (request.fields[i].first != names[i]) {
            return "field " + std::to_string(i + 1) + " must be " + names[i];
        }
    }
    const auto value = [&](std::size_t i) -> const std::string& {
        return request.fields[i].second;
    };
    if (value(0) != "120" || value(1) != "1" || value(5) != "1") {
        return "ClientVersion, ClientCode and Compress must be 120, 1 and 1";
    }
    if (value(2) != identity.userNumber || value(3) != identity.sessionKey) {
        return "uin and skey do not match the login";
    }
    if (album.FindFolder(value(4)) == nullptr) {
        return "no album folder has the path " + value(4);
    }
    if (value(6) != Md5Hex(request.picture->data)) {
        return "MD5 is not the digest of the picture";
    }
    if (!PicTypeFits(value(7), fileName)) {
        return "PicType is not the file name's extension";
    }
    if (!IsAsciiDigits(value(8)) || !IsAsciiDigits(value(9)) || value(8) == "0" ||
        value(9) == "0") {
        return "PicWidth and PicHeight must be positive numbers";
    }
    if (value(10) != std::to_string(request.picture->data.size())) {
        return "PicSize is not the picture's size";
    }
    if (value(11) != fileName || value(12) != *request.thumbnail->fileName) {
        return "FileName and ThumbName must name the two files";
    }
    if (PictureKind(request.picture->data).empty()) {
        return "the picture is not a JPEG, GIF or PNG picture";
    }
    if (PictureKind(request.thumbnail->data) != "jpg") {
        return "the thumbnail is not a JPEG picture";
    }
    return {};
}

}  // namespace

void HandleUploadRequest(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, XmlErrcodeBody);
    if (!identity) {
        return;
    }
    if (exchange.request.method != "POST" ||
        exchange.contentType != "multipart/form-data,boundary=hellworld") {
        Refuse(exchange, context, 400, "not a POST with \"multipart/form-data,boundary=hellworld\"",
               XmlErrcodeBody);
        return;
    }
    const auto parsed = ParseMultipart(exchange.body, "hellworld");
    const std::string error =
        parsed.body ? CheckUploadRequest(*parsed.body, *identity) : "broken body: " + parsed.error;
    if (!error.empty()) {
        Refuse(exchange, context, 400, error, XmlErrcodeBody);
        return;
    }
    {
        const auto lock = context.market.Lock();
        context.market.FindSession(identity->sessionKey)->uploadRequested = true;
    }
    AnswerAlbumXml(
        exchange, context,
        "<uploadurl>" + hosts::Address(hosts::kAlbum) + "/album/UploadPicActivex</uploadurl>");
}

void HandlePictureUpload(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, XmlErrcodeBody);
    if (!identity) {
        return;
    }
    if (exchange.request.method != "POST" ||
        exchange.contentType.rfind("multipart/form-data, boundary=", 0) != 0) {
        Refuse(exchange, context, 400,
               "not a multipart POST with \"multipart/form-data, boundary=\"", XmlErrcodeBody);
        return;
    }
    const auto parsed = ParseMultipart(exchange.body, MultipartBoundary(exchange.contentType));
    PictureRequest request;
    std::string error =
        parsed.body ? ReadPictureRequest(*parsed.body, request) : "broken body: " + parsed.error;
    const auto lock = context.market.Lock();
    Shop* shop = context.market.FindShop(identity->userNumber);
    if (error.empty() && !context.market.FindSession(identity->sessionKey)->uploadRequested) {
        error = "no upload request (UpReq) was made in this session";
    }
    if (error.empty()) {
        error = CheckPictureFields(request, *identity, shop->album);
    }
    if (error.empty() && shop->album.TotalBytes() + request.picture->data.size() > kAlbumQuota) {
        error = "the album is full";
    }
    if (!error.empty()) {
        Refuse(exchange, context, 400, error, XmlErrcodeBody);
        return;
    }
    AlbumPicture picture;
    picture.id = context.market.NewId();
    picture.fileName =
        context.charset.FromWire(*request.picture->fileName).value_or(*request.picture->fileName);
    picture.extension = PictureKind(request.picture->data);
    picture.address = PictureAddress(identity->userNumber, picture.id, picture.extension);
    picture.bytes = request.picture->data;
    const std::string address = picture.address;
    shop->album.FindFolder(request.fields[4].second)->pictures.push_back(std::move(picture));
    AnswerAlbumXml(exchange, context, "<returnurl>[" + address + "]</returnurl>");
}

void HandlePictureDownload(Exchange& exchange, const MarketContext& context) {
    // "/photo/<user number>/<picture id>.<extension>"; pictures are public.
    const std::string rest = exchange.path.substr(std::string("/photo/").size());
    const auto slash = rest.find('/');
    const auto dot = rest.rfind('.');
    const auto lock = context.market.Lock();
    const Shop* shop =
        slash == std::string::npos ? nullptr : context.market.FindShop(rest.substr(0, slash));
    const AlbumPicture* picture =
        shop == nullptr || dot == std::string::npos || dot < slash
            ? nullptr
            : shop->album.FindPicture(rest.substr(slash + 1, dot - slash - 1));
    if (picture == nullptr) {
        exchange.response.status = 404;
        exchange.response.set_content("no such picture", "text/plain");
        return;
    }
    const std::string type =
        picture->extension == "jpg" ? "image/jpeg" : "image/" + picture->extension;
    exchange.response.set_content(picture->bytes, type);
}

}  // namespace kesto::sim
