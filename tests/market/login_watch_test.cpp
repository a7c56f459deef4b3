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

TEST(LoginWatchTest, OnlyAStartedWatchRefusesRequestsOnceTheLoginChanged) {
    RequestFailure failure;
    LoginWatch idle;
    EXPECT_TRUE(idle.AnswerKeepsLogin({"skey=changed"}, failure)) << "no watch";
    LoginWatch watch;
    watch.Start();
    EXPECT_TRUE(watch.LoginUnchanged(failure));
    EXPECT_FALSE(watch.AnswerKeepsLogin({"a=1", "skey=; Max-Age=0"}, failure));
    EXPECT_FALSE(watch.LoginUnchanged(failure));
    EXPECT_EQ(failure.reason, kLoginChangedReason);
    failure = {};
    EXPECT_TRUE(idle.LoginUnchanged(failure)) << "another job's watch";
    EXPECT_TRUE(failure.reason.empty());
}

}  // namespace
}  // namespace kesto
