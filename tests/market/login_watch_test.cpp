#include "market/login_watch.h"

#include <gtest/gtest.h>

#include <string>

#include "market/failure_reason.h"

namespace kesto {
namespace {

TEST(LoginWatchTest, OnlyAnotherValueOrAnEndOfTheLoginCookiesChangesTheLogin) {
    const struct {
        std::string setCookie;
        bool changes;
    } cases[] = {
        {"skey=@abc; Domain=.kesto.example; Path=/", false},
        {"ptui_loginuin=10001", false},
        {"uin=o001; Path=/", false},  // "o" stands for a leading "10"
        {"pgv_pvid=123; Path=/", false},
        {"skeyx=1", false},
        {"skey=@other; Path=/", true},
        {"skey=; Path=/", true},
        {"skey=@abc; Max-Age=0", true},
        {"skey=@abc; max-age=-1", true},
        {"skey=@abc; Max-Age=3600", false},
        {"ptui_loginuin=10002; Domain=.kesto.example", true},
        {"uin=o002", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangesLogin(c.setCookie, "10001", "@abc"), c.changes) << c.setCookie;
    }
}

TEST(LoginWatchTest, OnlyAWatchedThreadRefusesRequestsOnceTheLoginChanged) {
    EXPECT_TRUE(AnswerKeepsLogin({"skey=changed"})) << "no watch";
    {
        const LoginWatch watch;
        EXPECT_TRUE(LoginUnchanged());
        EXPECT_FALSE(AnswerKeepsLogin({"a=1", "skey=; Max-Age=0"}));
        EXPECT_FALSE(LoginUnchanged());
        EXPECT_EQ(LastRequestFailure(), kLoginChangedReason);
    }
    EXPECT_TRUE(LoginUnchanged()) << "the watch ended";
}

}  // namespace
}  // namespace kesto
