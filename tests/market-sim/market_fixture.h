#pragma once
// A client that talks to a kesto-market started in the test, through it as a proxy, logged in
// as a demo account.

#include <httplib.h>

#include <memory>
#include <string>

#include "market-sim/market_server.h"

namespace kesto::sim::testing {

class MarketFixture {
  public:
    explicit MarketFixture(const std::string& charset = "UTF-8",
                           const ConnectionLimits& limits = {});
    ~MarketFixture();

    MarketServer& server() { return server_; }
    int port() const { return port_; }

    // Logs in as the user; the cookies go with every later request.
    void Login(const std::string& userNumber, const std::string& password);
    const std::string& sessionKey() const { return sessionKey_; }
    std::string Token() const;

    httplib::Result Get(const std::string& address, const httplib::Headers& extra = {});
    httplib::Result Post(const std::string& address, const std::string& body,
                         const std::string& contentType, const httplib::Headers& extra = {});
    // A request for the server's own address (the control interface).
    httplib::Result Control(const std::string& method, const std::string& path);

    std::size_t ViolationCount() { return server_.violations().Snapshot().size(); }
    std::string LastViolation();

    std::string cookie;  // the Cookie header sent; tests may change it

  private:
    std::unique_ptr<httplib::Client> Client();

    MarketServer server_;
    int port_ = -1;
    std::string sessionKey_;
};

// Percent-encodes every byte but ASCII letters and digits.
std::string FormEncode(const std::string& text);

// The multipart body of the album's upload request, as the client builds it by hand.
std::string UploadRequestBody(const std::string& userNumber, const std::string& sessionKey);

}  // namespace kesto::sim::testing
