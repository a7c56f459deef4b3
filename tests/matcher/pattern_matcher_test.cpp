#include "matcher/pattern_matcher.h"

#include <gtest/gtest.h>

#include <optional>

namespace kesto {
namespace {

const char kHeaderFsid[] = R"(segsequence:"0",aid:"0",.*?,mid:"9",.*?,fsid:"{\d+}")";
const char kContentFsid[] = R"(segsequence:"1",aid:"1",.*?,order:"100",mid:"13",.*?,fsid:"{\d+}")";

TEST(FindCapturesTest, CapturesWhatThePatternMarks) {
    const struct {
        const char* pattern;
        const char* input;
        std::optional<std::vector<std::string>> captures;  // nothing: returns false
    } cases[] = {
        {R"({\d+})", "x12y", std::vector<std::string>{"12"}},
        {R"({\d+})", "xy", std::nullopt},
        {"x{B}", "xb", std::vector<std::string>{"b"}},
        {"x{B}", "XB", std::vector<std::string>{"B"}},  // the input's own case
        {"{a}{b}", "ab", std::vector<std::string>{"a", "b"}},
        {"{a}x|{b}y", "aby", std::vector<std::string>{"a", "b"}},
        {"{a}?b", "b", std::nullopt},                    // the only group never set
        {"{a}?b{}", "b", std::vector<std::string>{""}},  // an empty capture counts
        {"a.*?b", "aXbYb", std::nullopt},                // no groups: nothing to append
        {"{a.*?b}", "aXbYb", std::vector<std::string>{"aXb"}},
        {"{a.*b}", "aXbYb", std::vector<std::string>{"aXbYb"}},
        {"{abc)def", "xabcx", std::nullopt},                      // compile error: "{" without "}"
        {"{abc}}def", "xabcx", std::vector<std::string>{"abc"}},  // stray "}" ends it
        {R"(\q{\w})", R"(say "hi"there)", std::vector<std::string>{"there"}},
        {R"({\d+}\n{\d+})", "12\r\n34", std::vector<std::string>{"12", "34"}},
        {R"({\d+}\n{\d+})", "12\n34", std::vector<std::string>{"12", "34"}},
        {R"({\d+}\n{\d+})", "12\r34", std::vector<std::string>{"12", "34"}},
        {"{\xE4\xB8\xAD.}", "a\xE4\xB8\xAD\xE6\x96\x87",
         std::vector<std::string>{"\xE4\xB8\xAD\xE6\x96\x87"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.input);
        std::vector<std::string> captures;
        EXPECT_EQ(FindCaptures(c.input, c.pattern, captures), c.captures.has_value());
        EXPECT_EQ(captures, c.captures.value_or(std::vector<std::string>{}));
    }
}

TEST(FindCapturesTest, LeavesTheListAloneUnlessItAppends) {
    std::vector<std::string> captures{"kept"};
    EXPECT_FALSE(FindCaptures("xy", R"({\d+})", captures));  // no match
    EXPECT_FALSE(FindCaptures("x1", "[]", captures));        // compile error
    EXPECT_FALSE(FindCaptures("x1", "x", captures));         // a match without groups
    EXPECT_EQ(captures, std::vector<std::string>{"kept"});
    EXPECT_TRUE(FindCaptures("x1", R"({\d})", captures));
    EXPECT_EQ(captures, (std::vector<std::string>{"kept", "1"}));
}

TEST(FindCapturesTest, FindsModuleFsidsInContentPages) {
    const struct {
        const char* pattern;
        const char* page;
        const char* fsid;  // null: not found
    } cases[] = {
        {kHeaderFsid,
         R"({segsequence:"0",aid:"0",order:"1",mid:"9",name:"Head",fsid:"100001",tssid:"0"})",
         "100001"},
        {kHeaderFsid,  // upper case in the page, lower case in the pattern
         R"({SEGSEQUENCE:"0",AID:"0",ORDER:"1",MID:"9",NAME:"Head",FSID:"100001",TSSID:"0"})",
         "100001"},
        {kHeaderFsid,  // the lazy gaps cross record boundaries
         R"({segsequence:"0",aid:"0",order:"7",mid:"13",name:"a",fsid:"100007"},)"
         R"({segsequence:"1",aid:"1",order:"2",mid:"9",name:"b",fsid:"100002"})",
         "100002"},
        {kHeaderFsid, R"({segsequence:"0",aid:"0",order:"7",mid:"13",fsid:"100007"})", nullptr},
        {kContentFsid,
         R"({segsequence:"1",aid:"1",order:"5",mid:"13",name:"a",fsid:"1"},)"
         R"({segsequence:"1",aid:"1",order:"100",mid:"13",name:"b",fsid:"777"},)"
         R"({segsequence:"1",aid:"1",order:"100",mid:"13",name:"c",fsid:"778"})",
         "777"},
        {kContentFsid,  // the comma before "order" is the one the aid sequence ends with
         R"({segsequence:"1",aid:"1",order:"100",mid:"13",name:"a",fsid:"1"})", nullptr},
        {kContentFsid,  // the first "fsid:" with digits after the sequence
         R"({segsequence:"1",aid:"1",order:"5",mid:"13",name:"a",fsid:"1"},)"
         R"({segsequence:"0",aid:"0",order:"100",mid:"13",name:"b",fsid:"x"},{x:"1",fsid:"55"})",
         "55"},
        {kContentFsid,  // the comma before "fsid" is the one the mid sequence ends with
         R"({segsequence:"1",aid:"1",order:"5",mid:"13",name:"a",fsid:"1"},)"
         R"({segsequence:"0",aid:"0",order:"100",mid:"13",fsid:"2"},{x:"1",fsid:"3"})",
         "3"},
        {kContentFsid, R"({segsequence:"1",aid:"1",order:"100",mid:"14",fsid:"5"})", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        std::vector<std::string> captures;
        EXPECT_EQ(FindCaptures(c.page, c.pattern, captures), c.fsid != nullptr);
        if (c.fsid != nullptr) {
            EXPECT_EQ(captures, std::vector<std::string>{c.fsid});
        }
    }
}

}  // namespace
}  // namespace kesto
