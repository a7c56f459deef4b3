#include "job/progress.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(ProgressLineTest, EachMessageAddsItsLine) {
    const struct {
        ProgressMessage message;
        std::optional<std::string> line;
    } cases[] = {
        {{kShopSignProgress, 0, 0, ""}, "正在更新店招..."},
        {{kShopSignProgress, 1, 1, ""}, "店招更新完成。"},
        {{kShopSignProgress, 1, 2, ""}, "店招更新完成。"},
        {{kShopSignProgress, 1, 0, ""}, "店招更新失败。"},
        {{kShopSignProgress, 1, -1, ""}, "店招更新失败。"},
        {{kMainPageProgress, 0, 0, ""}, "正在更新主页面..."},
        {{kMainPageProgress, 1, 1, ""}, "主页面更新完成。"},
        {{kMainPageProgress, 1, -2, ""}, "主页面更新失败。"},
        {{kCategoriesProgress, 0, 0, ""}, "正在更新分类..."},
        {{kCategoriesProgress, 1, 1, ""}, "分类更新完成。"},
        {{kCategoriesProgress, 1, 0, ""}, "分类更新失败。"},
        {{kNoShopSignPicture, 0, 0, ""}, "没找到店招文件."},
        {{kPictureUploadStarting, 0, 0, "1.jpg"}, "开始上传 1.jpg"},
        {{kPictureUploaded, 0, 1, "1.jpg"}, "1.jpg ,上传完成"},
        {{kPictureUploaded, 0, -1, "1.jpg"}, std::nullopt},  // a failed picture is not "done"
        {{kAreasNotStarted, 0, 0, "分类"}, "没有开始：分类。"},
        {{kTransactionPassword, 0, 0, ""}, "请输入交易密码后重新上传。"},
        {{kRateLimitWait, 0, 4, ""}, "服务器繁忙，等待 4 秒后重试..."},
        {{kDecorationFinished, 0, 0, "http://shop.kesto.example/10001?t=5"}, "装修完成。"},
        {{kCustomContentSave, 0, 0, ""}, std::nullopt},
        {{kCustomContentSave, 1, 1, ""}, std::nullopt},
        {{static_cast<ProgressKind>(1234), 0, 0, ""}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressLine(c.message), c.line) << static_cast<int>(c.message.kind) << " "
                                                   << c.message.stage << " " << c.message.result;
    }
}

}  // namespace
}  // namespace kesto
