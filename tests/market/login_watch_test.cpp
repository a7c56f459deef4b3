#include "market/login_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// An answer that only clears the login's cookies ends the login: the expired-login reason, and
// no later request. One that sets another account's is a change, whatever else it clears.
TEST(LoginWatchTest, ClearedLoginCookiesEndTheLogin) {
    const struct {
        std::vector<std::string> setCookies;
        bool ends;
    } cases[] = {
        {{"skey=; Path=/"}, true},
        {{"uin=o001; Max-Age=0", "skey=@abc; max-age=-1"}, true},
        {{"skey=@abc; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}, true},
        {{"skey=@abc; Expires=Fri, 01 Jan 2100 00:00:00 GMT"}, false},
        {{"skey=@abc; Expires=never"}, false},
        {{"pgv_pvid=; Max-Age=0"}, false},
        {{"skey=; Max-Age=0", "uin=o002"}, false},  // another account: a change
        {{}, false},
    };
    for (const auto& c : cases) {
        LoginWatch watch;
        watch.Start();
        RequestFailure failure;
        EXPECT_EQ(watch.AnswerEndsLogin(c.setCookies, failure), c.ends) << c.setCookies.size();
        EXPECT_EQ(watch.LoginExpired(), c.ends);
        EXPECT_EQ(failure.reason, c.ends ? kLoginExpiredReason : "");
        failure = {};
        EXPECT_EQ(watch.LoginUnchanged(failure), !c.ends);
        EXPECT_EQ(failure.reason, c.ends ? kLoginExpiredReason : "");
    }
    LoginWatch idle;
    RequestFailure failure;
    EXPECT_FALSE(idle.AnswerEndsLogin({"skey=; Max-Age=0"}, failure)) << "no watch";
}

}  // namespace
}  // namespace kesto
