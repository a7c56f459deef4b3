#include "matcher/pattern_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "matcher/pattern_matcher.h"

namespace kesto {
namespace {

TEST(PatternCacheTest, CompilesEachPatternAndModeOnce) {
    PatternCache cache;
    const auto first = cache.Get(u"a{b}", CaseMode::kInsensitive);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache.Get(u"a{b}", CaseMode::kInsensitive), first);
    EXPECT_NE(cache.Get(u"a{b}", CaseMode::kSensitive), first);
    EXPECT_EQ(cache.Get(u"a{b}", CaseMode::kSensitive)->Program().caseMode, CaseMode::kSensitive);
    EXPECT_NE(cache.Get(u"a{c}", CaseMode::kInsensitive), first);
    EXPECT_EQ(cache.Get(std::u16string_view(), CaseMode::kInsensitive),
              cache.Get(u"", CaseMode::kInsensitive));
    // Compile errors are kept too.
    EXPECT_EQ(cache.Get(u"[]", CaseMode::kInsensitive)->Program().lastError, kPatternEmptyClass);
}

TEST(PatternCacheTest, KeepsTheMostRecentlyUsedWithinItsBound) {
    PatternCache cache;
    const auto kept = cache.Get(u"kept", CaseMode::kInsensitive);
    const auto first = cache.Get(u"x", CaseMode::kInsensitive);
    for (std::size_t i = 1; i <= PatternCache::kMaxEntries; ++i) {
        cache.Get(u"x" + std::u16string(i, u'y'), CaseMode::kInsensitive);
        EXPECT_EQ(cache.Get(u"kept", CaseMode::kInsensitive), kept);  // used again: stays
    }
    const auto again = cache.Get(u"x", CaseMode::kInsensitive);  // pushed out: compiled anew
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->Program().code, first->Program().code);
}

// Threads looking up the same and different patterns at once get the same answers as one thread.
TEST(PatternCacheTest, FindCapturesAnswersAlikeOnManyThreads) {
    const std::string page = R"(x,fsid:"12",y,fsid:"34",z)";
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (std::size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                static const char* const ends[] = {"", "\"", "\","};
                std::vector<std::string> captures;
                const std::string pattern = i % 2 == 0 ? R"(fsid:"{\d+})" : R"(y,fsid:"{\d+})";
                FindCaptures(page, pattern + ends[i % 3], captures);
                const std::string expected = i % 2 == 0 ? "12" : "34";
                wrong[t] += captures == std::vector<std::string>{expected} ? 0 : 1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace kesto
