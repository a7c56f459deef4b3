#include <gtest/gtest.h>

#include <chrono>

#include "market_fixture.h"

namespace kesto::sim::testing {
namespace {

constexpr char kPage[] = "http://album.kesto.example/album/photomanage?PTAG=1015.1.53";

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override { market.Login("10001", "kesto123"); }

    void SetFault(const std::string& setting) {
        ASSERT_EQ(market.Control("POST", "/control/faults?set=" + FormEncode(setting))->status,
                  200);
    }

    MarketFixture market;
};

TEST_F(FaultTest, ErrorAnswers500ForTheCountGivenThenStops) {
    SetFault("photomanage=error*1");
    EXPECT_EQ(market.Get(kPage)->status, 500);
    EXPECT_EQ(market.Get(kPage)->status, 200);
}

TEST_F(FaultTest, SkipLetsTheFirstRequestsPass) {
    SetFault("photomanage=error*1+2");
    EXPECT_EQ(market.Get(kPage)->status, 200);
    EXPECT_EQ(market.Get(kPage)->status, 200);
    EXPECT_EQ(market.Get(kPage)->status, 500);
    EXPECT_EQ(market.Get(kPage)->status, 200);
}

TEST_F(FaultTest, DropClosesTheConnectionWithoutAnAnswer) {
    SetFault("photomanage=drop");
    const auto result = market.Get(kPage);
    EXPECT_FALSE(result);
    ASSERT_EQ(market.Control("POST", "/control/faults/clear")->status, 200);
    EXPECT_EQ(market.Get(kPage)->status, 200);
}

TEST_F(FaultTest, CutEndsTheAnswerAfterItsFirstLine) {
    SetFault("photomanage=cut*1");
    EXPECT_FALSE(market.Get(kPage));
    EXPECT_EQ(market.Get(kPage)->status, 200);
}

TEST_F(FaultTest, StallDelaysTheAnswer) {
    SetFault("/album/photomanage=stall:1");
    const auto start = std::chrono::steady_clock::now();
    const auto result = market.Get(kPage);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
}

TEST_F(FaultTest, PasswordFaultAnswersWithTheTransactionPasswordPage) {
    SetFault("contentinfoshow=password");
    const auto result = market.Get("http://manage.kesto.example/cgi-bin/myshop/contentinfoshow");
    ASSERT_TRUE(result);
    EXPECT_NE(result->body.find("交易密码验证"), std::string::npos);
    EXPECT_NE(result->body.find("请输入交易密码"), std::string::npos);
    const auto list = market.Control("GET", "/control/faults");
    EXPECT_NE(list->body.find("\"kind\" : \"password\""), std::string::npos) << list->body;
}

// The session ends at the request the fault hits, which is sent on to the login entry (clearing
// the login cookies in the rich answer mode only); later requests of it are refused. The login
// page itself stays open.
TEST_F(FaultTest, ExpireEndsTheSessionAndSendsTheRequestToTheLogin) {
    for (const auto mode : {AnswerMode::kRich, AnswerMode::kDocumented}) {
        market.Login("10001", "kesto123");
        market.server().SetAnswerMode(mode);
        SetFault("*=expire*1+1");
        EXPECT_EQ(market.Get(kPage)->status, 200);
        const auto ended = market.Get(kPage);
        ASSERT_TRUE(ended);
        EXPECT_EQ(ended->status, 302);
        EXPECT_EQ(ended->get_header_value("Location"),
                  "http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2");
        EXPECT_EQ(ended->has_header("Set-Cookie"), mode == AnswerMode::kRich);
        EXPECT_EQ(market.Get(kPage)->status, 403) << "the session has ended";
        const auto login = market.Get("http://member.kesto.example/cgi-bin/login_entry");
        ASSERT_TRUE(login);
        EXPECT_EQ(login->status, 200);
    }
}

TEST_F(FaultTest, BadFaultSettingsAreRefused) {
    EXPECT_EQ(market.Control("POST", "/control/faults?set=x%3Dboom")->status, 400);
}

}  // namespace
}  // namespace kesto::sim::testing
