#include "market/request_token.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(RequestTokenTest, HashesUtf16CodeUnitsOfTheSessionKey) {
    struct Case {
        const char* key;
        const char* token;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "193485963"},
        {"a", "177670"},  // 5381 * 33 + 97
        // Long keys wrap around 32 bits and the top bit is cleared.
        {"@Zx3vQ9kLm", "1508070350"},
        // One CJK character is one code unit (U+4E2D), not three UTF-8 bytes.
        {"\xE4\xB8\xAD", "197586"},  // 5381 * 33 + 0x4E2D
        // A character outside the basic plane is two code units (a surrogate pair).
        {"\xF0\x9F\x98\x80x", "255536346"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetRequestToken(c.key), c.token) << c.key;
    }
}

}  // namespace
}  // namespace kesto
