#include "market-sim/manage_handlers.h"

#include <json/writer.h>

#include "market-sim/form_fields.h"
#include "market-sim/layout_text.h"
#include "market-sim/login_check.h"
#include "market-sim/login_pages.h"
#include "market/hosts.h"

namespace kesto::sim {
namespace {

const std::string kLayoutReferer = hosts::Address(hosts::kManage) + "/myshop/shopLayout.shtml";
constexpr char kCustomContentTitle[] = "自定义内容";

// "a,b,c", or "none" for no names.
std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const auto& name : names) {
        joined += (joined.empty() ? "" : ",") + name;
    }
    return joined.empty() ? "none" : joined;
}

bool RequireReferer(Exchange& exchange, const MarketContext& context) {
    const std::string referer = exchange.request.get_header_value("Referer");
    if (referer != kLayoutReferer) {
        Refuse(exchange, context, 403, "the Referer is \"" + referer + "\", not the layout page",
               CategoryJsonErrorBody);
        return false;
    }
    return true;
}

bool RequireMethod(Exchange& exchange, const MarketContext& context, const char* method,
                   const ErrorBody& errorBody) {
    if (exchange.request.method != method) {
        Refuse(exchange, context, 405,
               exchange.request.method + " is not allowed here, only " + method, errorBody);
        return false;
    }
    return true;
}

void ShowLayout(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, CategoryJsonErrorBody);
    if (!identity || !RequireMethod(exchange, context, "GET", CategoryJsonErrorBody) ||
        !RequireReferer(exchange, context) ||
        !RequireToken(exchange, context, SessionToken(*identity), CategoryJsonErrorBody) ||
        !RequireQuery(exchange, context, "page=1&pageid=0&g_tk=" + SessionToken(*identity),
                      CategoryJsonErrorBody)) {
        return;
    }
    const auto lock = context.market.Lock();
    const Shop* shop = context.market.FindShop(identity->userNumber);
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;
    // "data" comes last: clients cut the document from "data": up to the last "}".
    const std::string status =
        context.answerMode == AnswerMode::kRich ? "\"errCode\":\"0\",\"msg\":\"\"," : "";
    Answer(exchange, context, 200,
           "{" + status + "\"data\":" + Json::writeString(writer, LayoutToJson(shop->layout)) + "}",
           "application/json");
}

void UpdateLayout(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, CategoryJsonErrorBody);
    if (!identity || !RequireMethod(exchange, context, "POST", CategoryJsonErrorBody) ||
        !RequireReferer(exchange, context) ||
        !RequireToken(exchange, context, SessionToken(*identity), CategoryJsonErrorBody) ||
        !RequireQuery(exchange, context, "g_tk=" + SessionToken(*identity) + "&g_ty=ajax",
                      CategoryJsonErrorBody)) {
        return;
    }
    const auto fields = ParseFormFields(exchange.body);
    if (!fields ||
        FieldNames(*fields) != std::vector<std::string>{"page", "pageid", "layoutinfo"} ||
        (*fields)[0].second != "1" || (*fields)[1].second != "0") {
        Refuse(exchange, context, 400, "the body is not page=1&pageid=0&layoutinfo=<layout>",
               CategoryJsonErrorBody);
        return;
    }
    const auto parsed = ParseLayoutText((*fields)[2].second);
    if (!parsed.lines) {
        Refuse(exchange, context, 400, "bad layout text: " + parsed.error, CategoryJsonErrorBody);
        return;
    }
    std::string error;
    {
        const auto lock = context.market.Lock();
        Shop* shop = context.market.FindShop(identity->userNumber);
        error =
            ApplyLayoutLines(shop->layout, *parsed.lines, [&] { return context.market.NewId(); });
    }
    if (!error.empty()) {
        Refuse(exchange, context, 400, "layout not applied: " + error, CategoryJsonErrorBody);
        return;
    }
    Answer(exchange, context, 200,
           context.answerMode == AnswerMode::kRich ? "{\"errCode\":\"0\",\"msg\":\"ok\"}"
                                                   : "{\"errCode\":\"0\"}",
           "application/json");
}

// One module record as the shop data lists it; segsequence is the segment's place on the page
// (the banner is 0) and aid the module's column.
std::string ModuleRecord(std::size_t segsequence, const LayoutModule& module) {
    return "{segsequence:\"" + std::to_string(segsequence) + "\",aid:\"" + module.area +
           "\",name:\"" + module.name + "\",order:\"" + module.order + "\",mid:\"" + module.mid +
           "\",mindex:\"" + module.mindex + "\",fsid:\"" + module.fsid + "\"}";
}

void ShowContentInfo(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, HtmlErrorBody);
    if (!identity || !RequireMethod(exchange, context, "GET", HtmlErrorBody) ||
        !RequireQuery(exchange, context, "", HtmlErrorBody)) {
        return;
    }
    const auto lock = context.market.Lock();
    const Shop* shop = context.market.FindShop(identity->userNumber);
    if (shop->passwordRequired) {
        Answer(exchange, context, 200, TradePasswordRequiredPage(), "text/html");
        return;
    }
    std::string records;
    const auto add = [&](std::size_t segsequence, const LayoutSegment& segment) {
        for (const auto& module : segment.modules) {
            records += (records.empty() ? "\n" : ",\n") + ModuleRecord(segsequence, module);
        }
    };
    add(0, shop->layout.banner);
    for (std::size_t i = 0; i < shop->layout.frames.size(); ++i) {
        add(i + 1, shop->layout.frames[i]);
    }
    Answer(exchange, context, 200,
           "<html><head><title>店铺内容</title>\n<script type=\"text/javascript\">\n"
           "var shopData={" +
               (context.answerMode == AnswerMode::kRich ? "uin:\"" + shop->userNumber + "\","
                                                        : std::string()) +
               "modules:[" + records +
               "]};\n</script></head>\n<body><p>店铺内容信息</p></body></html>\n",
           "text/html");
}

void EditModule(Exchange& exchange, const MarketContext& context) {
    const auto identity = RequireLogin(exchange, context, ManageJsonErrorBody);
    if (!identity || !RequireMethod(exchange, context, "POST", ManageJsonErrorBody) ||
        !RequireToken(exchange, context, SessionToken(*identity), ManageJsonErrorBody) ||
        !RequireQuery(exchange, context, "g_tk=" + SessionToken(*identity) + "&g_ty=j132",
                      ManageJsonErrorBody)) {
        return;
    }
    const auto fields = ParseFormFields(exchange.body);
    const std::vector<std::string> expected = {"mid",         "prop",    "flag",   "fsid",
                                               "title",       "pageid",  "page",   "segid",
                                               "bannerstyle", "content", "tssinfo"};
    if (!fields) {
        Refuse(exchange, context, 400, "the body is not form-encoded fields", ManageJsonErrorBody);
        return;
    }
    if (FieldNames(*fields) != expected) {
        Refuse(exchange, context, 400,
               "the fields are " + JoinNames(FieldNames(*fields)) + " instead of " +
                   JoinNames(expected),
               ManageJsonErrorBody);
        return;
    }
    const std::vector<std::pair<std::string, std::string>> fixed = {
        {"mid", "13"},     {"prop", "416"}, {"flag", "0"},  {"title", kCustomContentTitle},
        {"pageid", "0"},   {"page", "1"},   {"segid", "0"}, {"bannerstyle", "0"},
        {"content", "7:0"}};
    for (const auto& [name, value] : fixed) {
        if (FindField(*fields, name) != value) {
            Refuse(exchange, context, 400, "the field " + name + " must be \"" + value + "\"",
                   ManageJsonErrorBody);
            return;
        }
    }
    const std::string fsid = *FindField(*fields, "fsid");
    const auto lock = context.market.Lock();
    Shop* shop = context.market.FindShop(identity->userNumber);
    LayoutModule* module = FindModule(shop->layout, fsid);
    if (module == nullptr || module->mid != kCustomContentMid) {
        Refuse(exchange, context, 400, "no custom-content module has fsid \"" + fsid + "\"",
               ManageJsonErrorBody);
        return;
    }
    module->content = *FindField(*fields, "tssinfo");
    if (context.answerMode == AnswerMode::kDocumented) {
        Answer(exchange, context, 200, "ok", "text/plain");
    } else {
        Answer(exchange, context, 200, "{\"errcode\":0,\"msg\":\"ok\",\"fsid\":\"" + fsid + "\"}",
               "application/json");
    }
}

}  // namespace

void HandleManage(Exchange& exchange, const MarketContext& context) {
    const std::string& path = exchange.path;
    if (path == "/cgi-bin/modularmanage/layoutshow") {
        ShowLayout(exchange, context);
    } else if (path == "/cgi-bin/modularmanage/layoutupdate") {
        UpdateLayout(exchange, context);
    } else if (path == "/cgi-bin/myshop/contentinfoshow") {
        ShowContentInfo(exchange, context);
    } else if (path == "/cgi-bin/modularmanage/moduleedit") {
        EditModule(exchange, context);
    } else if (path == "/cgi-bin/modularmanage/picbanneredit") {
        HandleShopSignUpload(exchange, context);
    } else if (path == "/cgi-bin/mycategory/showjson") {
        HandleCategoryList(exchange, context);
    } else if (path == "/cgi-bin/mycategory/update") {
        HandleCategoryUpdate(exchange, context);
    } else {
        Refuse(exchange, context, 404, "no such endpoint", HtmlErrorBody);
    }
}

}  // namespace kesto::sim
