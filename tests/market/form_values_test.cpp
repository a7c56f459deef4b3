#include "market/form_values.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(EncodeFormValues, EncodesValuesAndKeepsNamesAndSeparators) {
    const struct {
        const char* body;
        const char* sent;
    } cases[] = {
        {"a=1 2&&b=x/y", "a=1+2&b=x%2Fy"},
        {"a=1&flag&b=2", "a=1&"},  // a token without '=' cuts the body after its '&'
        {"flag&a=1", ""},
        {"&&a=1&&", "a=1"},
        {"a=&b=", "a=&b="},
        {"a=b=c", "a=b%3Dc"},  // only the first '=' separates
        {"n%=v%", "n%=v%25"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeFormValues(c.body), c.sent) << c.body;
    }
}

}  // namespace
}  // namespace kesto
