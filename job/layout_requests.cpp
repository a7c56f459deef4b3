#include "job/layout_requests.h"

#include "job/content_info.h"
#include "job/shop_layout.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/identity.h"
#include "market/password_request.h"
#include "market/shop_session.h"
#include "support/pattern_matcher.h"

namespace kesto {

namespace {

std::string ManageAddress(std::string_view pathAndQuery) {
    return hosts::Address(hosts::kManage, pathAndQuery);
}

RequestOptions LayoutOptions() {
    RequestOptions options;
    options.extraHeader = "Referer: " + ManageAddress("/myshop/shopLayout.shtml") + " \r\n";
    return options;
}

// The fsid patterns, in lower case like the shop data they search.
constexpr char kShopHeaderPattern[] = R"(segsequence:"0",aid:"0",.*?,mid:"9",.*?,fsid:"{\d+}")";
constexpr char kCustomContentPattern[] =
    R"(segsequence:"1",aid:"1",.*?,order:"100",mid:"13",.*?,fsid:"{\d+}")";

}  // namespace

int ReadShopLayout(std::string& answer) {
    RequestOptions options = LayoutOptions();
    const std::string url = ManageAddress(
        "/cgi-bin/modularmanage/layoutshow?page=1&pageid=0&g_tk=" + GetRequestToken());
    HttpRequest(answer, url.c_str(), options, kMethodGet, nullptr, true);
    return answer.empty() ? -1 : 1;
}

int UpdateShopLayout(const std::string& layoutText) {
    RequestOptions options = LayoutOptions();
    const std::string url = ManageAddress(
        "/cgi-bin/modularmanage/layoutupdate?g_tk=" + GetRequestToken() + "&g_ty=ajax");
    const std::string body = "page=1&pageid=0&layoutinfo=" + layoutText;
    std::string answer;
    HttpRequest(answer, url.c_str(), options, kMethodPost, body.c_str(), true);
    if (answer.empty()) {
        return -1;
    }
    return answer.find("\"errCode\":\"0\"") != std::string::npos ? 1 : 0;
}

int SaveShopLayout(bool shopSign, bool mainPage) {
    std::string answer;
    const int read = ReadShopLayout(answer);
    if (read <= 0) {
        return read;
    }
    Json::Value layout;
    ParseShopLayout(ExtractLayoutDocument(answer), layout);
    if (!IsEditableLayout(layout)) {
        // Never send back a layout flattened from a document that is not there.
        return 0;
    }
    const bool headerAdded = shopSign && AddShopHeader(layout) > 0;
    if (mainPage) {
        MarkOldCustomContent(layout);
        AddCustomContent(layout);
    }
    if (!headerAdded && !mainPage) {
        return read;
    }
    return UpdateShopLayout(BuildLayoutInfo(layout));
}

int ReadContentInfo(ShopSession& session, std::string& shopData) {
    RequestOptions options;
    std::string answer;
    HttpRequest(answer, ManageAddress("/cgi-bin/myshop/contentinfoshow").c_str(), options,
                kMethodGet, nullptr, true);
    ShopData data = ExtractShopData(answer);
    if (data.asksTransactionPassword) {
        MeetsTransactionPassword(session, answer);
    }
    if (data.result > 0) {
        shopData = std::move(data.text);
    }
    return data.result;
}

std::string FindModuleFsid(std::string_view moduleName, std::string_view shopData) {
    const char* pattern = nullptr;
    if (moduleName.find(kShopSignModule) != std::string_view::npos) {
        pattern = kShopHeaderPattern;
    } else if (moduleName.find(kCustomContentModule) != std::string_view::npos) {
        pattern = kCustomContentPattern;
    } else {
        return {};
    }
    std::vector<std::string> captures;
    if (!FindCaptures(shopData, pattern, captures)) {
        return {};
    }
    return captures.front();
}

std::string GetModuleFsid(ShopSession& session, std::string_view moduleName) {
    std::string shopData;
    if (ReadContentInfo(session, shopData) <= 0) {
        return {};
    }
    return FindModuleFsid(moduleName, shopData);
}

}  // namespace kesto
