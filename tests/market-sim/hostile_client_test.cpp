#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

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

// A request that announces no body has none, whatever its method: the server must not wait
// for one (a plain `curl -X POST` sends such a head).
TEST(HostileClientTest, RequestWithoutALengthHasNoBody) {
    MarketFixture market;
    const std::string head = "HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    for (const std::string& request :
         {"POST /control/faults/clear " + head + "\r\n",
          "POST /control/faults/clear " + head + "content-length: 0\r\n\r\n"}) {
        const std::string answer = RawExchange(market.port(), request);
        EXPECT_EQ(answer.rfind("HTTP/1.1 200 ", 0), 0u) << request << answer;
    }
    EXPECT_EQ(market.LastViolation(), "");
}

using Clock = std::chrono::steady_clock;
constexpr char kRequestStart[] =
    "GET http://www.kesto.example/ HTTP/1.1\r\nHost: www.kesto.example\r\n";

// The portal's front page through the server as a proxy; gives up after 2 s.
httplib::Result Probe(int port) {
    httplib::Client client("www.kesto.example", 80);
    client.set_proxy("127.0.0.1", port);
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(2, 0);
    return client.Get("/");
}

// Everything the server sends until it closes the connection; stops waiting after timeoutMs.
std::string ReadUntilClosed(const LoopbackSocket& socket, int timeoutMs) {
    std::string answer;
    char buffer[4096];
    long got = 0;
    while ((got = socket.Receive(buffer, sizeof buffer, timeoutMs)) > 0) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return got == 0 ? answer : answer + "<still open>";
}

TEST(HostileClientTest, HundredsOfSlowClientsNeverDelayANormalRequest) {
    MarketFixture market;
    // Half send nothing; half send the start of a request and then a header byte now and then.
    std::vector<LoopbackSocket> silent;
    std::vector<LoopbackSocket> dripping;
    for (int i = 0; i < 300; ++i) {
        LoopbackSocket socket = LoopbackSocket::Connect(market.port());
        ASSERT_TRUE(socket.valid()) << i;
        if (i % 2 == 0) {
            silent.push_back(std::move(socket));
        } else {
            ASSERT_TRUE(socket.SendAll(std::string(kRequestStart) + "X-Slow: ")) << i;
            dripping.push_back(std::move(socket));
        }
    }
    for (int round = 0; round < 5; ++round) {
        for (const auto& socket : dripping) {
            socket.SendAll("s");
        }
        const auto start = Clock::now();
        const auto page = Probe(market.port());
        const auto took = Clock::now() - start;
        ASSERT_TRUE(page) << "round " << round;
        EXPECT_EQ(page->status, 200);
        EXPECT_LT(took, std::chrono::seconds(1)) << "round " << round;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    // The slow clients were kept waiting, not turned away.
    EXPECT_GE(market.server().OpenConnections(), 300u);
}

// Many clients sending their bodies a byte at a time, with Content-Length or in chunks, hold
// poll entries only: the workers (here two) stay free for ordinary requests.
TEST(HostileClientTest, SlowBodiesNeverHoldTheWorkers) {
    ConnectionLimits limits;
    limits.workers = 2;
    MarketFixture market("UTF-8", limits);
    const std::string post =
        "POST http://www.kesto.example/ HTTP/1.1\r\nHost: www.kesto.example\r\n";
    std::vector<LoopbackSocket> senders;
    for (int i = 0; i < 40; ++i) {
        senders.push_back(LoopbackSocket::Connect(market.port()));
        const bool chunked = i % 2 == 1;
        ASSERT_TRUE(senders.back().SendAll(post + (chunked ? "Transfer-Encoding: chunked\r\n\r\n"
                                                           : "Content-Length: 1000\r\n\r\n")))
            << i;
    }
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < senders.size(); ++i) {
            senders[i].SendAll(i % 2 == 1 ? "1\r\nx\r\n" : "x");
        }
        const auto start = Clock::now();
        const auto page = Probe(market.port());
        const auto took = Clock::now() - start;
        ASSERT_TRUE(page) << "round " << round;
        EXPECT_EQ(page->status, 200);
        EXPECT_LT(took, std::chrono::seconds(1)) << "round " << round;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// A request whose body two readers could frame differently is refused, and one whose body the
// server did not read to its end is answered at most: either way the connection then closes, so
// the request hidden behind it is never answered.
TEST(HostileClientTest, NothingAfterAnAmbiguousOrUnreadBodyIsParsed) {
    ConnectionLimits limits;
    limits.maxBodyBytes = 1024;
    MarketFixture market("UTF-8", limits);
    const std::string hidden = std::string(kRequestStart) + "\r\n";
    const std::string size = std::to_string(hidden.size());
    struct Case {
        const char* what;
        std::string fields;  // header fields framing the body
        std::string body;    // sent before the hidden request
        const char* status;
        const char* method = "POST";
        bool recorded = true;  // the refusal is among the violations
    };
    const Case cases[] = {
        {"length and chunked", "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n", "0\r\n\r\n",
         "400"},
        {"chunked and length", "Transfer-Encoding: chunked\r\nContent-Length: 5\r\n", "0\r\n\r\n",
         "400"},
        {"two equal lengths", "Content-Length: 5\r\nContent-Length: 5\r\n", "hello", "400"},
        {"two lengths", "Content-Length: 0\r\nContent-Length: 5\r\n", "hello", "400"},
        {"length not a number", "Content-Length: abc\r\n", "", "400"},
        {"length with a sign", "Content-Length: +5\r\n", "hello", "400"},
        {"space before the colon", "Content-Length : 5\r\n", "hello", "400"},
        {"chunked among other codings", "Transfer-Encoding: gzip, chunked\r\n", "0\r\n\r\n", "400"},
        {"chunk without its line end", "Transfer-Encoding: chunked\r\n", "5\r\nhelloX", "400"},
        {"body too large", "Content-Length: 5000\r\n", "", "413"},
        {"body not read by a refusal", "Content-Length: " + size + "\r\n", "", "400", "BREW",
         false},
        {"body not read by a GET", "Content-Length: " + size + "\r\n", "", "200", "GET", false},
    };
    for (const auto& c : cases) {
        const std::size_t violations = market.ViolationCount();
        const LoopbackSocket socket = LoopbackSocket::Connect(market.port());
        ASSERT_TRUE(socket.SendAll(std::string(c.method) +
                                   " http://www.kesto.example/ HTTP/1.1\r\nHost: "
                                   "www.kesto.example\r\n" +
                                   c.fields + "\r\n" + c.body + hidden))
            << c.what;
        const std::string answer = ReadUntilClosed(socket, 3000);
        EXPECT_EQ(answer.rfind("HTTP/1.1 " + std::string(c.status) + " ", 0), 0u)
            << c.what << ": " << answer;
        EXPECT_EQ(answer.find("HTTP/1.1 ", 1), std::string::npos) << c.what << ": " << answer;
        EXPECT_EQ(answer.find("<still open>"), std::string::npos) << c.what;
        EXPECT_EQ(market.ViolationCount(), violations + (c.recorded ? 1 : 0)) << c.what;
    }
    EXPECT_EQ(market.server().violations().Snapshot().front().host, "www.kesto.example");
}

// Chunked bodies are held to the body cap as their chunks announce themselves; within it they
// are taken.
TEST(HostileClientTest, ChunkedBodiesAreCappedAsTheyArrive) {
    ConnectionLimits limits;
    limits.maxBodyBytes = 4096;
    MarketFixture market("UTF-8", limits);
    const std::string chunk = "3e8\r\n" + std::string(1000, 'x') + "\r\n";
    struct Case {
        const char* what;
        std::string body;
        const char* status;
    };
    const Case cases[] = {
        {"within the cap", chunk + chunk + chunk + chunk + "0\r\n\r\n", "200"},
        {"chunks adding up beyond it", chunk + chunk + chunk + chunk + chunk, "413"},
        {"one chunk announcing more", "40000000\r\n" + std::string(100, 'x'), "413"},
    };
    for (const auto& c : cases) {
        const LoopbackSocket socket = LoopbackSocket::Connect(market.port());
        ASSERT_TRUE(socket.SendAll(
            "POST /control/faults/clear HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
            "Transfer-Encoding: chunked\r\n\r\n" +
            c.body))
            << c.what;
        const std::string answer = ReadUntilClosed(socket, 3000);
        EXPECT_EQ(answer.rfind("HTTP/1.1 " + std::string(c.status) + " ", 0), 0u)
            << c.what << ": " << answer;
        EXPECT_EQ(answer.find("<still open>"), std::string::npos) << c.what;
    }
}

TEST(HostileClientTest, ConnectionsWithoutAWholeHeadInTimeAreClosedWithTheReason) {
    ConnectionLimits limits;
    limits.headTime = std::chrono::milliseconds(300);
    limits.maxHeadBytes = 8 * 1024;
    MarketFixture market("UTF-8", limits);
    struct Case {
        const char* what;
        std::string sent;
        int drips;           // further header bytes, one each 100 ms
        const char* answer;  // how the answer starts; empty: closed without a byte
    };
    const Case cases[] = {
        {"silent", "", 0, ""},
        {"half a head", kRequestStart, 0, "HTTP/1.1 408 "},
        {"a head dripping in", std::string(kRequestStart) + "X-Slow: ", 20, "HTTP/1.1 408 "},
        {"a head without end", std::string(kRequestStart) + "X: " + std::string(9000, 'x'), 0,
         "HTTP/1.1 431 "},
    };
    for (const auto& c : cases) {
        const LoopbackSocket socket = LoopbackSocket::Connect(market.port());
        ASSERT_TRUE(socket.valid()) << c.what;
        const auto start = Clock::now();
        socket.SendAll(c.sent);
        for (int i = 0; i < c.drips; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!socket.SendAll("d")) {
                break;
            }
        }
        const std::string answer = ReadUntilClosed(socket, 3000);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3)) << c.what;
        EXPECT_EQ(answer.substr(0, std::string(c.answer).size()), c.answer)
            << c.what << ": " << answer;
        EXPECT_EQ(answer.find("<still open>"), std::string::npos) << c.what;
    }
    // A kept-alive connection answers its requests and is closed only when idle for that long.
    const LoopbackSocket socket = LoopbackSocket::Connect(market.port());
    ASSERT_TRUE(socket.SendAll(std::string(kRequestStart) + "\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(socket.SendAll(std::string(kRequestStart) + "\r\n"));
    const std::string both = ReadUntilClosed(socket, 3000);
    EXPECT_EQ(both.rfind("HTTP/1.1 200 ", 0), 0u) << both;
    EXPECT_NE(both.find("HTTP/1.1 200 ", 1), std::string::npos) << both;
}

TEST(HostileClientTest, BeyondTheBoundTheLongestWaitingConnectionMakesRoom) {
    ConnectionLimits limits;
    limits.maxConnections = 50;
    MarketFixture market("UTF-8", limits);
    std::vector<LoopbackSocket> silent;
    for (int i = 0; i < 80; ++i) {
        silent.push_back(LoopbackSocket::Connect(market.port()));
        ASSERT_TRUE(silent.back().valid()) << i;
    }
    const auto page = Probe(market.port());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    // The first ones waited longest and were closed; the last ones still wait.
    EXPECT_EQ(ReadUntilClosed(silent.front(), 2000), "");
    char byte = 0;
    EXPECT_EQ(silent.back().Receive(&byte, 1, 100), LoopbackSocket::kTimedOut);
    EXPECT_LE(market.server().OpenConnections(), 50u);
}

}  // namespace
}  // namespace kesto::sim::testing
