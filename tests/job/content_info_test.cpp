#include "job/content_info.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(ContentInfoTest, CutsTheLowerCasedShopDataOutOfThePage) {
    const struct {
        std::string page;
        int result;
        std::string text;
        bool password;
    } cases[] = {
        {"", -1, "", false},
        {"<script>var ShopData={MID:\"9\"};</SCRIPT><p>X</p>", 1, "shopdata={mid:\"9\"};", false},
        {"x shopData={a:1}", 2, "shopdata={a:1}", false},
        {"<html>nothing</html>", 0, "", false},
        {"<p>交易密码验证</p><p>请输入交易密码</p> shopdata={}", 0, "", true},
        {"<p>交易密码验证</p> shopdata={}</script>", 1, "shopdata={}", false},
    };
    for (const auto& c : cases) {
        const ShopData data = ExtractShopData(c.page);
        EXPECT_EQ(data.result, c.result) << c.page;
        EXPECT_EQ(data.text, c.text) << c.page;
        EXPECT_EQ(data.asksTransactionPassword, c.password) << c.page;
    }
}

}  // namespace
}  // namespace kesto
