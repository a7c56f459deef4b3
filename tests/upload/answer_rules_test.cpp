#include "upload/answer_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace kesto {
namespace {

TEST(AnswerRules, ResultCode) {
    const struct {
        const char* answer;
        int code;
    } cases[] = {
        {"result=1", 1},   {"x result=  -7&y", -7}, {"result=+3", 3},
        {"result=abc", 0}, {"no marker", 0},        {"result=99999999999", INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResultCodeRule(c.answer), c.code) << c.answer;
    }
}

TEST(AnswerRules, Errcode) {
    const struct {
        const char* answer;
        int code;
    } cases[] = {
        {"{\"ok\":true}", 1},    // no errcode at all
        {"{\"errcode\":0}", 1},  // 0 followed by more text
        {"{\"errcode\":0,\"m\":\"\"}", 1},
        {"{\"errcode\":5}", 0},
        {"errcode=0", 0},      // the digits end the answer
        {"errcode: none", 0},  // no digits
        {"errcode=000000000000000000001;", 0},
        {"errcode=00;", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrcodeRule(c.answer), c.code) << c.answer;
    }
}

TEST(AnswerRules, ReturnUrlTakesTheAddressInItsOwnCase) {
    std::string url = "kept";
    EXPECT_EQ(ReturnUrlRule("[returnUrl=HTTP://ALBUM.KESTO.EXAMPLE/P/1.JPG]", url), 1);
    EXPECT_EQ(url, "HTTP://ALBUM.KESTO.EXAMPLE/P/1.JPG");

    const char* rejected[] = {
        "http://x/] returnurl",       // the address must follow the marker
        "returnurl=http://x/no-end",  // no closing bracket
        "returnurl=ftp://x/]",
        "",
    };
    for (const char* answer : rejected) {
        url = "kept";
        EXPECT_EQ(ReturnUrlRule(answer, url), -1) << answer;
        EXPECT_EQ(url, "kept");
    }
}

}  // namespace
}  // namespace kesto
