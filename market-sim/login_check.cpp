#include "market-sim/login_check.h"

#include "market-sim/session_cookies.h"
#include "market/request_token.h"

namespace kesto::sim {

std::optional<Identity> RequireLogin(Exchange& exchange, const MarketContext& context,
                                     const ErrorBody& errorBody) {
    const auto cookies = ParseCookieHeader(exchange.request.get_header_value("Cookie"));
    const auto uin = cookies.find("uin");
    const auto skey = cookies.find("skey");
    if (uin == cookies.end() || skey == cookies.end()) {
        Refuse(exchange, context, 403, "the login cookies uin and skey are missing", errorBody);
        return std::nullopt;
    }
    const std::string userNumber = DecodeUinCookie(uin->second);
    const auto lock = context.market.Lock();
    const LoginSession* session = context.market.FindSession(skey->second);
    if (session == nullptr) {
        Refuse(exchange, context, 403, "the skey cookie names no login session", errorBody);
        return std::nullopt;
    }
    if (session->userNumber != userNumber) {
        Refuse(exchange, context, 403, "the uin cookie does not belong to the session", errorBody);
        return std::nullopt;
    }
    const auto loginUin = cookies.find("ptui_loginuin");
    if (loginUin != cookies.end() && loginUin->second != userNumber) {
        Refuse(exchange, context, 403, "ptui_loginuin and uin name different users", errorBody);
        return std::nullopt;
    }
    return Identity{userNumber, skey->second};
}

bool RequireToken(Exchange& exchange, const MarketContext& context, const std::string& expected,
                  const ErrorBody& errorBody) {
    const std::string token = RawQueryValue(exchange, "g_tk");
    if (token != expected) {
        Refuse(exchange, context, 403,
               "g_tk is \"" + token + "\", not the request token " + expected, errorBody);
        return false;
    }
    return true;
}

std::string SessionToken(const Identity& identity) {
    return GetRequestToken(identity.sessionKey);
}

}  // namespace kesto::sim
