#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "market_fixture.h"

namespace kesto::sim::testing {
namespace {

constexpr char kForm[] = "application/x-www-form-urlencoded";

// Sends raw bytes on a fresh connection and returns what the server answers before closing.
std::string SendRaw(int port, const std::string& bytes) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        shutdown(fd, SHUT_WR);
        timeval timeout{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        char buffer[4096];
        ssize_t got = 0;
        while ((got = recv(fd, buffer, sizeof(buffer), 0)) > 0) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return answer;
}

TEST(RobustnessTest, GarbageAndOversizedRequestsLeaveTheServerServing) {
    MarketFixture market;
    market.Login("10001", "kesto123");
    const std::string garbage[] = {
        std::string("\x00\x01\x02garbage\r\n\r\n", 14),
        "GET http://www.kesto.example/ HTTP/1.1\r\nHost: " + std::string(20000, 'a') + "\r\n\r\n",
        "POST http://manage.kesto.example/cgi-bin/mycategory/update HTTP/1.1\r\n"
        "Content-Length: 99999999999999999999\r\n\r\nx",
        "POST http://album.kesto.example/album/UpReq HTTP/1.1\r\nContent-Type: "
        "multipart/form-data\r\nContent-Length: 5\r\n\r\n--x--",
        "GET / HTTP/1.1\r\n\r\n",  // origin form without a Host header
    };
    for (const auto& request : garbage) {
        SendRaw(market.port(), request);
    }
    // A body over the limit is refused before it is read whole.
    const auto big =
        market.Post("http://manage.kesto.example/cgi-bin/modularmanage/picbanneredit",
                    std::string(9 * 1024 * 1024, 'x'), "multipart/form-data, boundary=x");
    if (big) {
        EXPECT_EQ(big->status, 413);
    }
    const auto portal = market.Get("http://www.kesto.example/");
    ASSERT_TRUE(portal);
    EXPECT_EQ(portal->status, 200);
}

TEST(RobustnessTest, JournalListsTheHostsRequestsInOrder) {
    MarketFixture market;
    market.Login("10001", "kesto123");
    market.Get("http://album.kesto.example/album/photomanage?PTAG=1015.1.53");
    market.Get("http://shop.kesto.example/10001");
    const auto journal = market.Control("GET", "/control/requests");
    ASSERT_TRUE(journal);
    const auto login = journal->body.find("/cgi-bin/login_submit");
    const auto album = journal->body.find("/album/photomanage");
    const auto shop = journal->body.find("\"path\" : \"/10001\"");
    EXPECT_NE(login, std::string::npos);
    EXPECT_LT(login, album);
    EXPECT_LT(album, shop);
    EXPECT_EQ(market.Control("POST", "/control/requests/clear")->status, 200);
    EXPECT_EQ(market.Control("GET", "/control/requests")->body.find("photomanage"),
              std::string::npos);
}

TEST(RobustnessTest, GbkServerSpeaksTheCodePageOfAChineseWindows) {
    MarketFixture market("GBK");
    market.Login("10001", "kesto123");
    const auto page = market.Get("http://album.kesto.example/album/photomanage?PTAG=1015.1.53");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("Kesto\xCF\xE0\xB2\xE1"), std::string::npos);
    EXPECT_NE(page->get_header_value("Content-Type").find("charset=GBK"), std::string::npos);
    // The folder name travels as UTF-8 percent-encoded; the answer names it in GBK.
    const auto folder = market.Post("http://album.kesto.example/album/createdir?g_xx",
                                    "path=/&name=" + FormEncode("主页面"), kForm);
    ASSERT_TRUE(folder);
    EXPECT_NE(folder->body.find("<name>\xD6\xF7\xD2\xB3\xC3\xE6</name>"), std::string::npos);
}

}  // namespace
}  // namespace kesto::sim::testing
