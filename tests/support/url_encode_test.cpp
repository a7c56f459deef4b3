#include "support/url_encode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kesto {
namespace {

TEST(UrlEncodeTest, EncodesBytesByClass) {
    const struct {
        std::string text;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"azAZ09", "azAZ09"},
        {"a b/c", "a+b%2Fc"},
        {" \t\n\v\f\r", "++++++"},
        {"-_.~*", "%2D%5F%2E%7E%2A"},
        {"\xE4", "%E4"},
        {"\x01\x7F\xFF", "%01%7F%FF"},
        {std::string("ab\0cd", 5), "ab"},  // the text ends at its first zero byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlEncode(c.text), c.encoded) << "text: " << c.text;
    }
}

TEST(UrlEncodeTest, ReportsNeededSizeAndWritesOnlyWhenItFits) {
    const struct {
        const char* text;
        int capacity;
        bool withBuffer;
        bool written;
        int size;
    } cases[] = {
        {"", 1, true, true, 1},        {"ab", 2, true, false, 3},   {"ab", 3, true, true, 3},
        {"a b/c", 0, false, false, 8}, {"a b/c", 8, true, true, 8}, {"a b/c", 100, false, false, 8},
    };
    for (const auto& c : cases) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        int size = c.capacity;
        const bool result = UrlEncode(c.text, c.withBuffer ? buffer : nullptr, size);
        EXPECT_EQ(result, c.written) << c.text << " capacity " << c.capacity;
        EXPECT_EQ(size, c.size) << c.text << " capacity " << c.capacity;
        if (c.written) {
            EXPECT_EQ(std::string(buffer), UrlEncode(c.text));
        } else {
            EXPECT_EQ(buffer[0], 'x') << "buffer must stay untouched";
        }
    }
}

TEST(EscapeUrlTest, EscapesPathAndQueryOnly) {
    const struct {
        std::string url;
        std::string escaped;
    } cases[] = {
        {"http://h/a b/\xE5\x9B\xBE?p=/a b/", "http://h/a%20b/%E5%9B%BE?p=/a%20b/"},
        {"http://h/q?a=%e5%9B&b=1+2&c=100%&d=%g1", "http://h/q?a=%e5%9B&b=1+2&c=100%25&d=%25g1"},
        {"http://h/\"<>\\^`{|}\x7F\t", "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D%7F%09"},
        {"http://h/page#part two", "http://h/page"},
        {"http://user:p w@h:81", "http://user:p w@h:81"},  // no path: nothing to escape
        {"http://h?x=1 2", "http://h?x=1%202"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeUrl(c.url), c.escaped) << c.url;
    }
}

}  // namespace
}  // namespace kesto
