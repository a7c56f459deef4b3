// The shop sign upload (picbanneredit): one file per request with six fields, or, for large
// pictures, chunks that each repeat the fields and carry their offset.

#include <charconv>

#include "market-sim/login_check.h"
#include "market-sim/manage_handlers.h"
#include "market-sim/multipart_reader.h"
#include "market-sim/picture_check.h"

namespace kesto::sim {
namespace {

constexpr std::size_t kMaxSignBytes = 4 * 1024 * 1024;
constexpr std::size_t kMaxSingleBytes = 40960;  // larger pictures come in chunks
constexpr std::size_t kChunkBytes = 327680;     // every chunk but the last
constexpr char kSignTitle[] = "店铺招牌（含有导航页卡）";

struct SignRequest {
    std::optional<std::size_t> offset;  // present in the chunked format
    bool last = true;                   // the "__end" part was sent (always so when unchunked)
    const MultipartPart* file = nullptr;
    std::vector<std::pair<std::string, std::string>> fields;
};

std::optional<std::size_t> ParseOffset(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Splits the parts into the optional offset and end parts, the file and the fields, checking
// each part's header lines against the format; returns the reason on failure.
std::string ReadSignRequest(const MultipartBody& body, SignRequest& request) {
    std::size_t next = 0;
    const auto& parts = body.parts;
    const auto isField = [](const MultipartPart& part, const std::string& name) {
        return part.headerLines ==
               std::vector<std::string>{"Content-Disposition: form-data; name=\"" + name + "\""};
    };
    if (next < parts.size() && parts[next].name == "offset") {
        if (!isField(parts[next], "offset")) {
            return "the offset part's headers are malformed";
        }
        request.offset = ParseOffset(parts[next].data);
        if (!request.offset) {
            return "the offset is not a number";
        }
        request.last = false;
        ++next;
        if (next < parts.size() && parts[next].name == "__end") {
            if (!isField(parts[next], "__end") || parts[next].data != "1") {
                return "the __end part is malformed";
            }
            request.last = true;
            ++next;
        }
    }
    if (next >= parts.size()) {
        return "the picture part is missing";
    }
    if (!parts[next].fileName) {
        return "the part " + parts[next].name + " comes where the picture part belongs";
    }
    const MultipartPart& file = parts[next];
    const std::vector<std::string> expectedHeaders = {
        "Content-Disposition: form-data; name=\"photo\"; filename=\"" + *file.fileName + "\"",
        "Content-Type:" + UploadMimeType(*file.fileName)};
    if (file.headerLines != expectedHeaders) {
        return "the picture part's headers are not the upload format";
    }
    request.file = &file;
    for (++next; next < parts.size(); ++next) {
        if (parts[next].fileName || !isField(parts[next], parts[next].name)) {
            return "the field " + parts[next].name + " is malformed";
        }
        request.fields.emplace_back(parts[next].name, parts[next].data);
    }
    if (!body.finalLineBreak) {
        return "the body does not end with a line break";
    }
    return {};
}

std::string CheckSignFields(const SignRequest& request, const std::string& userNumber,
                            const std::string& headerFsid, const WireCharset& charset) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"shop4style", "1"},  {"fsid", headerFsid},   {"segid", "10"},
        {"bannerstyle", "0"}, {"shopid", userNumber}, {"title", charset.ToWire(kSignTitle)}};
    if (request.fields.size() != expected.size()) {
        return "the request carries " + std::to_string(request.fields.size()) +
               " fields after the picture instead of the six shop sign fields";
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (request.fields[i].first != expected[i].first) {
            return "field " + std::to_string(i + 1) + " is " + request.fields[i].first +
                   " instead of " + expected[i].first;
        }
        if (request.fields[i].second != expected[i].second) {
            return "the field " + expected[i].first + " is not \"" + expected[i].second + "\"";
        }
    }
    return {};
}

std::string HeaderFsid(const Shop& shop) {
    for (const auto& module : shop.layout.banner.modules) {
        if (module.mid == kShopHeaderMid) {
            return module.fsid;
        }
    }
    return {};
}

// Why a chunk of this size cannot join the bytes received so far; empty when it can.
std::string CheckChunkSize(std::size_t size, bool last, std::size_t received) {
    if (size == 0) {
        return "the chunk carries no bytes";
    }
    if (!last && size != kChunkBytes) {
        return "a chunk before the last carries " + std::to_string(size) + " bytes instead of " +
               std::to_string(kChunkBytes);
    }
    if (received + size > kMaxSignBytes) {
        return "the shop sign is too large: over " + std::to_string(kMaxSignBytes) +
               " bytes (4 MiB) with this chunk";
    }
    return {};
}

// Adds the request's bytes to the shop's sign (or its pending chunks); the reason on failure.
// The file name is the request's, in UTF-8.
std::string StoreSign(Shop& shop, const SignRequest& request, const std::string& fileName) {
    const std::string& bytes = request.file->data;
    if (!request.offset) {
        if (bytes.size() > kMaxSingleBytes) {
            return "a picture over " + std::to_string(kMaxSingleBytes) +
                   " bytes must be sent in chunks";
        }
        shop.sign = StoredFile{fileName, bytes};
        return {};
    }
    if (*request.offset == 0) {
        shop.pendingSign = StoredFile{fileName, {}};
    } else if (!shop.pendingSign) {
        return "a chunk at offset " + std::to_string(*request.offset) +
               " came with no chunk at offset 0 before it";
    } else if (shop.pendingSign->bytes.size() != *request.offset) {
        return "the chunk's offset " + std::to_string(*request.offset) + " does not follow the " +
               std::to_string(shop.pendingSign->bytes.size()) + " bytes received so far";
    }
    if (shop.pendingSign->fileName != fileName) {
        return "the chunk names another file than the chunks before it";
    }
    const std::string sizeError =
        CheckChunkSize(bytes.size(), request.last, shop.pendingSign->bytes.size());
    if (!sizeError.empty()) {
        shop.pendingSign.reset();
        return sizeError;
    }
    shop.pendingSign->bytes += bytes;
    if (request.last) {
        shop.sign = std::move(shop.pendingSign);
        shop.pendingSign.reset();
    }
    return {};
}

}  // namespace

void HandleShopSignUpload(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, ManageJsonErrorBody);
    if (!identity) {
        return;
    }
    if (exchange.request.method != "POST" ||
        exchange.contentType.rfind("multipart/form-data, boundary=", 0) != 0) {
        Refuse(exchange, context, 400,
               "not a multipart POST with \"multipart/form-data, boundary=\"", ManageJsonErrorBody);
        return;
    }
    const auto parsed = ParseMultipart(exchange.body, MultipartBoundary(exchange.contentType));
    if (!parsed.body) {
        Refuse(exchange, context, 400, "broken multipart body: " + parsed.error,
               ManageJsonErrorBody);
        return;
    }
    SignRequest request;
    std::string error = ReadSignRequest(*parsed.body, request);
    const auto lock = context.market.Lock();
    Shop* shop = context.market.FindShop(identity->userNumber);
    if (error.empty()) {
        error = CheckSignFields(request, identity->userNumber, HeaderFsid(*shop), context.charset);
    }
    // Only the first bytes of a picture carry its signature.
    if (error.empty() && request.offset.value_or(0) == 0 &&
        PictureKind(request.file->data).empty()) {
        error = "the shop sign is not a JPEG, GIF or PNG picture";
    }
    if (error.empty()) {
        const std::string& wireName = *request.file->fileName;
        error = StoreSign(*shop, request, context.charset.FromWire(wireName).value_or(wireName));
    }
    if (!error.empty()) {
        Refuse(exchange, context, 400, error, ManageJsonErrorBody);
        return;
    }
    // The same answer for a whole picture and for each chunk of one.
    if (context.answerMode == AnswerMode::kDocumented) {
        Answer(exchange, context, 200, "<html><body>ok</body></html>", "text/html");
    } else {
        Answer(exchange, context, 200, "{\"errcode\":0,\"msg\":\"ok\"}", "application/json");
    }
}

}  // namespace kesto::sim
