#include "job/progress.h"

#include <string>

namespace kesto {

namespace {

struct AreaLines {
    const char* start;
    const char* done;
    const char* failed;
};

// "Updating the shop sign..." / "Shop sign updated." / "Shop sign update failed."
constexpr AreaLines kShopSignLines{"正在更新店招...", "店招更新完成。", "店招更新失败。"};
// "Updating the main page..." / "Main page updated." / "Main page update failed."
constexpr AreaLines kMainPageLines{"正在更新主页面...", "主页面更新完成。", "主页面更新失败。"};
// "Updating the categories..." / "Categories updated." / "Category update failed."
constexpr AreaLines kCategoryLines{"正在更新分类...", "分类更新完成。", "分类更新失败。"};

std::string AreaLine(const AreaLines& lines, const ProgressMessage& message) {
    if (message.stage == 0) {
        return lines.start;
    }
    return message.result > 0 ? lines.done : lines.failed;
}

}  // namespace

std::optional<std::string> ProgressLine(const ProgressMessage& message) {
    switch (message.kind) {
        case kShopSignProgress:
            return AreaLine(kShopSignLines, message);
        case kMainPageProgress:
            return AreaLine(kMainPageLines, message);
        case kCategoriesProgress:
            return AreaLine(kCategoryLines, message);
        case kNoShopSignPicture:
            // "No shop sign file found."
            return "没找到店招文件.";
        case kPictureUploadStarting:
            // "Starting upload of <name>"
            return "开始上传 " + message.text;
        case kPictureUploaded:
            // "<name> , upload finished": only for a picture the album took; a failed one is
            // followed by its area's failure line and reason instead.
            if (message.result < 1) {
                return std::nullopt;
            }
            return message.text + " ,上传完成";
        case kTransactionPassword:
            // "Please enter the transaction password, then upload again."
            return "请输入交易密码后重新上传。";
        case kFailureReason:
            // "Reason: <why>"
            return "原因：" + message.text;
        case kTemplateProblem:
            // "Template problem: <file>: <problem>"
            return "模板问题：" + message.text;
        case kTemplateRejected:
            // "The template did not pass the check; the shop was not changed."
            return "模板检查未通过，店铺没有任何改动。";
        case kShopBusy:
            // "This shop is being decorated by another job; upload again once it has finished."
            return "这个店铺正由另一个装修任务装修，请等它完成后再上传。";
        case kShopNotHeld:
            // "The shop could not be reserved for this decoration; the shop was not changed."
            return "无法为这次装修锁定店铺，店铺没有任何改动。";
        case kAreasNotStarted:
            // "Not started: <areas>."
            return "没有开始：" + message.text + "。";
        case kRateLimitWait:
            // "The server is busy; trying again in <n> seconds..."
            return "服务器繁忙，等待 " + std::to_string(message.result) + " 秒后重试...";
        case kDecorationFinished:
            // "Decoration finished."
            return "装修完成。";
        default:
            return std::nullopt;
    }
}

}  // namespace kesto
