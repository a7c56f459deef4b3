#pragma once
// The portal host's pages and the member host's login and transaction-password pages.

#include "market-sim/exchange.h"

namespace kesto::sim {

void HandlePortal(Exchange& exchange, const MarketContext& context);
void HandleMember(Exchange& exchange, const MarketContext& context);

// The page a shop gets while its transaction password is asked for.
std::string TradePasswordRequiredPage();

}  // namespace kesto::sim
