#include <gtest/gtest.h>

#include <string>

#include "market_fixture.h"
#include "tests/common/loopback_socket.h"

namespace kesto::sim::testing {
namespace {

using kesto::testing::LoopbackSocket;

// Sends the request on a fresh connection and returns everything answered until the server
// closes it (the request asks it to) or 5 s pass.
std::string RawExchange(int port, const std::string& request) {
    const LoopbackSocket socket = LoopbackSocket::Connect(port);
    if (!socket.valid() || !socket.SendAll(request)) {
        return {};
    }
    std::string answer;
    char buffer[4096];
    long got = 0;
    while ((got = socket.Receive(buffer, sizeof buffer, 5000)) > 0) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return answer;
}

TEST(HostileClientTest, ControlInterfaceRefusesRequestsThroughTheProxy) {
    MarketFixture market;
    const std::string port = std::to_string(market.port());
    const std::string targets[] = {
        "POST http://127.0.0.1:" + port + "/control/shops/10001/password?required=1",
        "POST HTTP://LOCALHOST:" + port + "/control/shops/10001/password?required=1",
        "POST http://127.0.0.1/control/shops/10001/password?required=1",
    };
    for (const auto& target : targets) {
        const std::string answer =
            RawExchange(market.port(), target + " HTTP/1.1\r\nHost: 127.0.0.1:" + port +
                                           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(answer.rfind("HTTP/1.1 403 ", 0), 0u) << target << "\n" << answer;
        EXPECT_NE(market.LastViolation().find("control interface"), std::string::npos) << target;
    }
    const auto shop = market.Control("GET", "/control/shops/10001");
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->status, 200);
    EXPECT_NE(shop->body.find("\"passwordRequired\" : false"), std::string::npos) << shop->body;
}

}  // namespace
}  // namespace kesto::sim::testing
