#pragma once
// kesto-market running in the test process, with the program's own marketplace client logged
// in to it as the demo account 10001: the login cookies sit in the shared cookie store and the
// identity, and every request of the client goes through the server as its proxy.

#include <json/value.h>

#include <string>
#include <vector>

#include "tests/market-sim/market_fixture.h"

namespace kesto::testing {

class LoggedInMarket {
  public:
    LoggedInMarket();
    ~LoggedInMarket();
    LoggedInMarket(const LoggedInMarket&) = delete;
    LoggedInMarket& operator=(const LoggedInMarket&) = delete;

    // The demo shop's state as the control interface shows it.
    Json::Value Shop();
    // "METHOD host path" of every request the server has seen, in order.
    std::vector<std::string> Requests();
    void ClearRequests();
    // The reasons of every request the server refused as malformed.
    std::vector<std::string> Violations();
    // Sets a fault, e.g. "UploadPicActivex=error*1".
    void SetFault(const std::string& fault);
    void RequirePassword(bool required);

    static constexpr char kUser[] = "10001";

    sim::testing::MarketFixture market;
};

}  // namespace kesto::testing
