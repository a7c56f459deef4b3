#pragma once
// What every manage and album request must carry: the login cookies of a live session, and,
// where the endpoint asks for it, the request token of that session's key.

#include <optional>
#include <string>

#include "market-sim/exchange.h"

namespace kesto::sim {

struct Identity {
    std::string userNumber;
    std::string sessionKey;
};

// The cookies "uin" and "skey" must name a live session (and "ptui_loginuin", when sent, the
// same user). Otherwise the request is refused with 403 and no value is returned.
std::optional<Identity> RequireLogin(Exchange& exchange, const MarketContext& context,
                                     const ErrorBody& errorBody);

// True when the query's "g_tk" is the token expected; otherwise refuses with 403.
bool RequireToken(Exchange& exchange, const MarketContext& context, const std::string& expected,
                  const ErrorBody& errorBody);

// The token of the session's key.
std::string SessionToken(const Identity& identity);

}  // namespace kesto::sim
