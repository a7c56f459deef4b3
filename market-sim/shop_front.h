#pragma once
// The shop host: "/" + user number shows the shop's public front page; "/" + user number +
// "/sign" serves its shop sign picture.

#include "market-sim/exchange.h"

namespace kesto::sim {

void HandleShopFront(Exchange& exchange, const MarketContext& context);

}  // namespace kesto::sim
