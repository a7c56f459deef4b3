#include "market_requests.h"

#include <json/reader.h>

#include "platform/md5.h"

namespace kesto::sim::testing {
namespace {

constexpr char kBoundary[] = "----nbceooq13241247ABZ";

std::string FieldsBlock(const FieldList& fields) {
    std::string block;
    for (const auto& [name, value] : fields) {
        block += std::string("\r\n--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" +
                 name + "\"\r\n\r\n" + value;
    }
    return block;
}

}  // namespace

std::string FakeJpeg(std::size_t size) {
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes.resize(size, 'j');
    return bytes;
}

std::string Md5Hex(const std::string& bytes) {
    Md5 md5;
    md5.Update(bytes.data(), bytes.size());
    std::string hex;
    for (const unsigned char b : md5.Finish()) {
        static constexpr char kHex[] = "0123456789abcdef";
        hex += {kHex[b >> 4], kHex[b & 15]};
    }
    return hex;
}

Json::Value ShopState(MarketFixture& market, const std::string& userNumber) {
    Json::Value state;
    Json::Reader().parse(market.Control("GET", "/control/shops/" + userNumber)->body, state);
    return state;
}

std::string MakeAlbumFolder(MarketFixture& market, const std::string& name) {
    const auto result = market.Post(std::string(kAlbum) + "/album/createdir?g_xx",
                                    "path=/&name=" + FormEncode(name), kFormType);
    const auto start = result->body.find("<id>") + 4;
    return "/" + result->body.substr(start, result->body.find("</id>") - start) + "/";
}

httplib::Result SendUploadRequest(MarketFixture& market, const std::string& body) {
    return market.Post(std::string(kAlbum) + "/album/UpReq", body,
                       "multipart/form-data,boundary=hellworld");
}

httplib::Result UploadPicture(MarketFixture& market, const std::string& folder,
                              const std::string& picture, const std::string& md5) {
    const std::string thumb = FakeJpeg(100);
    std::string body = std::string("--") + kBoundary + "\r\n";
    body +=
        "Content-disposition: form-data; name=\"FileData\";filename=\"a.jpg\"\r\n"
        "Content-type: image/jpeg\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
        picture + "\r\n--" + kBoundary + "\r\n" +
        "Content-disposition: form-data; name=\"ThumbData\";filename=\"qzv1.tmp\"\r\n"
        "Content-type: text/plain\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
        thumb;
    body += FieldsBlock({{"ClientVersion", "120"},
                         {"ClientCode", "1"},
                         {"uin", "10001"},
                         {"skey", market.sessionKey()},
                         {"DirPath", folder},
                         {"Compress", "1"},
                         {"MD5", md5},
                         {"PicType", "jpg"},
                         {"PicWidth", "60"},
                         {"PicHeight", "40"},
                         {"PicSize", std::to_string(picture.size())},
                         {"FileName", "a.jpg"},
                         {"ThumbName", "qzv1.tmp"}});
    body += std::string("\r\n--") + kBoundary + "--\r\n";
    return market.Post(std::string(kAlbum) + "/album/UploadPicActivex", body,
                       std::string("multipart/form-data, boundary=") + kBoundary);
}

std::string AddShopHeader(MarketFixture& market) {
    const Json::Value layout = ShopState(market)["layout"];
    const std::string text =
        "1^0^0^0^0^0^" + layout["shopBanner"]["fsid"].asString() + "^1^0^0|1^0^0^0^9^1^0^2^0^0";
    market.Post("http://manage.kesto.example/cgi-bin/modularmanage/layoutupdate?g_tk=" +
                    market.Token() + "&g_ty=ajax",
                "page=1&pageid=0&layoutinfo=" + FormEncode(text), kFormType,
                {{"Referer", "http://manage.kesto.example/myshop/shopLayout.shtml"}});
    return ShopState(market)["layout"]["shopBanner"]["areas"][0]["fsid"].asString();
}

FieldList ShopSignFields(const std::string& headerFsid) {
    return {{"shop4style", "1"},  {"fsid", headerFsid}, {"segid", "10"},
            {"bannerstyle", "0"}, {"shopid", "10001"},  {"title", "店铺招牌（含有导航页卡）"}};
}

std::string ShopSignChunkHead(std::size_t offset, bool last) {
    std::string head = "Content-Disposition: form-data; name=\"offset\"\r\n\r\n" +
                       std::to_string(offset) + "\r\n--" + kBoundary + "\r\n";
    if (last) {
        head += std::string("Content-Disposition: form-data; name=\"__end\"\r\n\r\n1\r\n--") +
                kBoundary + "\r\n";
    }
    return head;
}

httplib::Result SendShopSign(MarketFixture& market, const std::string& head,
                             const std::string& bytes, const FieldList& fields) {
    const std::string body = std::string("--") + kBoundary + "\r\n" + head +
                             "Content-Disposition: form-data; name=\"photo\"; "
                             "filename=\"sign.jpg\"\r\nContent-Type:image/jpeg\r\n\r\n" +
                             bytes + FieldsBlock(fields) + "\r\n--" + kBoundary + "--\r\n";
    return market.Post("http://manage.kesto.example/cgi-bin/modularmanage/picbanneredit", body,
                       std::string("multipart/form-data, boundary=") + kBoundary);
}

}  // namespace kesto::sim::testing
