#pragma once
// The manage host's endpoints under "/cgi-bin/".

#include "market-sim/exchange.h"

namespace kesto::sim {

void HandleManage(Exchange& exchange, const MarketContext& context);

// Split out by subject; HandleManage dispatches to them.
void HandleShopSignUpload(Exchange& exchange, const MarketContext& context);
void HandleCategoryList(Exchange& exchange, const MarketContext& context);
void HandleCategoryUpdate(Exchange& exchange, const MarketContext& context);

}  // namespace kesto::sim
