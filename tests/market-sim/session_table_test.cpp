#include <gtest/gtest.h>

#include "market-sim/marketplace.h"
#include "market-sim/session_table.h"

namespace kesto::sim {
namespace {

TEST(SessionTableTest, AnAccountAtItsBoundLosesItsOwnOldestSessionOnly) {
    SessionTable table(3);
    table.Add("a1", "10001");
    for (const char* key : {"b1", "b2", "b3", "b4", "b5"}) {
        table.Add(key, "10002");
    }
    // Added in an order unlike the keys' sorted order, so that key order cannot pass for age.
    table.Add("0z", "10001");
    struct Case {
        const char* key;
        bool live;
    };
    for (const auto& c : {Case{"a1", true}, Case{"0z", true}, Case{"b1", false}, Case{"b2", false},
                          Case{"b3", true}, Case{"b5", true}}) {
        EXPECT_EQ(table.Find(c.key) != nullptr, c.live) << c.key;
    }
    EXPECT_EQ(table.Find("b3")->userNumber, "10002");
    EXPECT_EQ(table.size(), 5u);
}

TEST(SessionTableTest, OldSessionSurvivesManyLoginsOfAnotherAccount) {
    Marketplace market;
    const auto lock = market.Lock();
    const auto old = market.Login("10001", "kesto123");
    ASSERT_TRUE(old);
    const auto firstOfOther = market.Login("10002", "kesto456");
    ASSERT_TRUE(firstOfOther);
    for (int i = 0; i < 22000; ++i) {
        ASSERT_TRUE(market.Login("10002", "kesto456"));
    }
    ASSERT_NE(market.FindSession(*old), nullptr);
    EXPECT_EQ(market.FindSession(*old)->userNumber, "10001");
    // The other account went past its bound, so its own first session has ended.
    EXPECT_EQ(market.FindSession(*firstOfOther), nullptr);
}

}  // namespace
}  // namespace kesto::sim
