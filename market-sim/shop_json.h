#pragma once
// A shop's state as JSON, for the control interface.

#include <json/value.h>

#include "market-sim/shop.h"

namespace kesto::sim {

Json::Value ShopToJson(const Shop& shop);

}  // namespace kesto::sim
