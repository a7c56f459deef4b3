#pragma once
// One request and its answer as the handlers see them, and the helpers every handler uses to
// answer, to refuse, and to look at the query.

#include <httplib.h>

#include <functional>
#include <string>
#include <string_view>

#include "market-sim/answer_mode.h"
#include "market-sim/marketplace.h"
#include "market-sim/violation_log.h"
#include "market-sim/wire_charset.h"

namespace kesto::sim {

struct Exchange {
    const httplib::Request& request;
    httplib::Response& response;
    std::string host;         // lower case, no port
    std::string path;         // without the query
    std::string query;        // as sent, after the first "?"; empty when there is none
    std::string body;         // the raw body bytes
    std::string contentType;  // as sent, multipart bodies included
};

// What every handler works with.
struct MarketContext {
    Marketplace& market;
    ViolationLog& violations;
    const WireCharset& charset;
    AnswerMode answerMode;  // the server's mode when the request arrived
};

// The text of a refusal in an endpoint's own style, for the reason given.
using ErrorBody = std::function<std::string(const std::string& reason)>;

// The category service spells its error field "errCode" and quotes its value; the other manage
// services write "errcode" with a number.
std::string CategoryJsonErrorBody(const std::string& reason);  // {"errCode":"-1","msg":...}
std::string ManageJsonErrorBody(const std::string& reason);    // {"errcode":1,"msg":...}
std::string XmlErrcodeBody(const std::string& reason);         // <result><errcode>1</errcode>...
std::string HtmlErrorBody(const std::string& reason);          // a small error page

// Answers in the wire charset (text is UTF-8 here); content types get the charset appended.
void Answer(Exchange& exchange, const MarketContext& context, int status, std::string_view text,
            std::string_view contentType);
// Records the violation and answers with the status and the endpoint's error body.
void Refuse(Exchange& exchange, const MarketContext& context, int status, const std::string& reason,
            const ErrorBody& errorBody);

// The value of a query key as sent (not decoded), or the empty text.
std::string RawQueryValue(const Exchange& exchange, std::string_view key);

// Escapes text for HTML and XML.
std::string EscapeMarkup(std::string_view text);
// A JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

}  // namespace kesto::sim

namespace kesto::sim {

// True when the query is exactly the one expected; otherwise refuses with 400.
bool RequireQuery(Exchange& exchange, const MarketContext& context, const std::string& expected,
                  const ErrorBody& errorBody);

}  // namespace kesto::sim
