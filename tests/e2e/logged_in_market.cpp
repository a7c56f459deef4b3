#include "tests/e2e/logged_in_market.h"

#include <json/reader.h>
#include <stdlib.h>

#include <memory>
#include <sstream>
#include <stdexcept>

#include "market/cookie_source.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "platform/net_layer.h"
#include "tests/common/temp_folder.h"

namespace kesto::testing {

namespace {

class FixedCookies final : public CookieSource {
  public:
    explicit FixedCookies(std::string text) : text_(std::move(text)) {}
    std::optional<std::string> GetCookie() override { return text_; }

  private:
    std::string text_;
};

Json::Value ParseJson(const std::string& text) {
    Json::Value value;
    std::istringstream stream(text);
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, stream, &value, &errors)) {
        throw std::runtime_error("control answer is no JSON: " + errors);
    }
    return value;
}

// Each test process keeps the program's files (the shop's job lock among them) in a data folder
// of its own: tests run jobs of the same account side by side, each against a kesto-market of
// its own, and one job's lock must not turn another away.
void UseOwnDataFolder() {
    static const TempFolder folder;
    setenv("XDG_DATA_HOME", folder.Folder().c_str(), 1);
}

}  // namespace

LoggedInMarket::LoggedInMarket() {
    UseOwnDataFolder();
    market.Login(kUser, "kesto123");
    std::istringstream pairs(market.cookie);
    std::string pair;
    while (std::getline(pairs, pair, ';')) {
        pair.erase(0, pair.find_first_not_of(' '));
        const std::size_t equals = pair.find('=');
        net::Cookie cookie;
        cookie.domain = hosts::kCookieDomain;
        cookie.includeSubdomains = true;
        cookie.name = pair.substr(0, equals);
        cookie.value = pair.substr(equals + 1);
        net::StoreCookie(cookie);
    }
    const std::string proxy = "http://127.0.0.1:" + std::to_string(market.port());
    setenv("http_proxy", proxy.c_str(), 1);
    ProcessIdentity().SetCookieSource(std::make_shared<FixedCookies>(market.cookie));
    if (!CheckLogin()) {
        throw std::runtime_error("the client did not take the login");
    }
    ClearRequests();
}

LoggedInMarket::~LoggedInMarket() {
    unsetenv("http_proxy");
    ProcessIdentity().SetCookieSource(nullptr);
}

Json::Value LoggedInMarket::Shop() {
    const auto answer = market.Control("GET", std::string("/control/shops/") + kUser);
    if (!answer || answer->status != 200) {
        throw std::runtime_error("cannot read the shop");
    }
    return ParseJson(answer->body);
}

std::vector<std::string> LoggedInMarket::Requests() {
    std::vector<std::string> requests;
    for (const auto& entry : market.server().journal().Snapshot()) {
        requests.push_back(entry.method + " " + entry.host + " " + entry.path);
    }
    return requests;
}

void LoggedInMarket::ClearRequests() {
    market.Control("POST", "/control/requests/clear");
}

std::vector<std::string> LoggedInMarket::Violations() {
    std::vector<std::string> reasons;
    for (const auto& violation : market.server().violations().Snapshot()) {
        reasons.push_back(violation.host + violation.path + ": " + violation.reason);
    }
    return reasons;
}

void LoggedInMarket::SetFault(const std::string& fault) {
    const auto answer =
        market.Control("POST", "/control/faults?set=" + sim::testing::FormEncode(fault));
    if (!answer || answer->status != 200) {
        throw std::runtime_error("the fault was not taken: " + fault);
    }
}

void LoggedInMarket::RequirePassword(bool required) {
    market.Control("POST", std::string("/control/shops/") + kUser +
                               "/password?required=" + (required ? "1" : "0"));
}

}  // namespace kesto::testing
