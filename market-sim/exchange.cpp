#include "market-sim/exchange.h"

#include <json/writer.h>

#include "support/html_escape.h"

namespace kesto::sim {

std::string JsonQuote(std::string_view text) {
    return Json::valueToQuotedString(std::string(text).c_str());
}

std::string EscapeMarkup(std::string_view text) {
    return EscapeHtml(text);
}

std::string CategoryJsonErrorBody(const std::string& reason) {
    return "{\"errCode\":\"-1\",\"msg\":" + JsonQuote(reason) + "}";
}

std::string ManageJsonErrorBody(const std::string& reason) {
    return "{\"errcode\":1,\"msg\":" + JsonQuote(reason) + "}";
}

std::string XmlErrcodeBody(const std::string& reason) {
    return "<?xml version=\"1.0\"?>\n<result><errcode>1</errcode><msg>" + EscapeMarkup(reason) +
           "</msg></result>\n";
}

std::string HtmlErrorBody(const std::string& reason) {
    return "<html><head><title>Error</title></head><body><h1>请求被拒绝</h1><p>" +
           EscapeMarkup(reason) + "</p></body></html>\n";
}

void Answer(Exchange& exchange, const MarketContext& context, int status, std::string_view text,
            std::string_view contentType) {
    exchange.response.status = status;
    exchange.response.set_content(context.charset.ToWire(text),
                                  std::string(contentType) + "; charset=" + context.charset.Name());
}

void Refuse(Exchange& exchange, const MarketContext& context, int status, const std::string& reason,
            const ErrorBody& errorBody) {
    context.violations.Record({exchange.host, exchange.path, reason});
    const std::string body = errorBody(reason);
    const bool isHtml = body.rfind("<html", 0) == 0;
    const bool isXml = body.rfind("<?xml", 0) == 0;
    Answer(exchange, context, status, body,
           isHtml ? "text/html" : (isXml ? "text/xml" : "application/json"));
}

std::string RawQueryValue(const Exchange& exchange, std::string_view key) {
    std::string_view query = exchange.query;
    while (!query.empty()) {
        const auto end = query.find('&');
        const std::string_view piece = query.substr(0, end);
        const auto equals = piece.find('=');
        if (piece.substr(0, equals) == key) {
            return equals == std::string_view::npos ? std::string()
                                                    : std::string(piece.substr(equals + 1));
        }
        if (end == std::string_view::npos) {
            break;
        }
        query.remove_prefix(end + 1);
    }
    return {};
}

}  // namespace kesto::sim

namespace kesto::sim {

bool RequireQuery(Exchange& exchange, const MarketContext& context, const std::string& expected,
                  const ErrorBody& errorBody) {
    if (exchange.query != expected) {
        Refuse(exchange, context, 400,
               "the query is \"" + exchange.query + "\" instead of \"" + expected + "\"",
               errorBody);
        return false;
    }
    return true;
}

}  // namespace kesto::sim
