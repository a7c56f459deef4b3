#include "market/login_cookies.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(CookieTextTest, FindsWholeCookieNamesAnywhereInTheText) {
    struct Case {
        const char* text;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"a=1; skey=@k9; b=2", "skey", "@k9"},
        {"skey=first; a=1", "skey", "first"},  // standing first in the text
        {"a=1; skey=last", "skey", "last"},    // last, without a trailing ";"
        {"a=1;skey=tight;", "skey", "tight"},  // no blank after the ";"
        {"ptui_loginuin=123; uin=o77;", "uin", "o77"},
        {"ptui_loginuin=123;", "uin", ""},  // never the end of a longer name
        {"a=xuin=5; b=1", "uin", ""},       // nor inside another cookie's value
        {"a=b uin=5; c=1", "uin", ""},
        {"uin=; skey=1", "uin", ""},  // present but empty
        {"a=1; uin=", "uin", ""},     // the key ends the text
        {"uin=1; uin=2", "uin", "1"},
        {"UIN=5; uin=6", "uin", "6"},  // names are case-sensitive
        {"a=1; uin= 5 ;", "uin", " 5 "},
        {"a=%E4%B8%AD; b=2", "a", "%E4%B8%AD"},  // taken unchanged, not decoded
        {"", "uin", ""},
        {"a=1; b=2", "uin", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetCookieValue(c.text, c.name), c.value) << c.text << " / " << c.name;
    }
}

TEST(CookieTextTest, ReadsTheUserNumber) {
    struct Case {
        const char* text;
        const char* userNumber;
    };
    const Case cases[] = {
        {"a=1; ptui_loginuin=12345; uin=o0000099;", "12345"},
        {"a=1; uin=o0000099;", "100000099"},
        {"uin=o0012345", "100012345"},         // first in the text, no trailing ";"
        {"a=1; uin=x7o1;", "7101"},            // x7101, then up to the first digit
        {"a=1; uin=abc;", "abc"},              // no digit: left as it is
        {"ptui_loginuin=; uin=o5;", "105"},    // an empty login number falls back to uin
        {"ptui_loginuin=o5x; uin=1;", "o5x"},  // the login number is taken unchanged
        {"a=1; ptui_loginuin=777", "777"},     // last, no trailing ";"
        {"", ""},
        {"skey=@abc", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadUserNumber(c.text), c.userNumber) << c.text;
    }
}

}  // namespace
}  // namespace kesto
