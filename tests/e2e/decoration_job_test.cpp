// Whole decoration jobs, and their failure paths, against kesto-market.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "job/categories.h"
#include "job/decoration_job.h"
#include "job/layout_requests.h"
#include "job/main_page.h"
#include "job/marketplace_steps.h"
#include "job/shop_sign.h"
#include "market/shop_session.h"
#include "support/file_path.h"
#include "templates/template_folder.h"
#include "tests/common/recording_progress.h"
#include "tests/common/temp_folder.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using Lines = std::vector<std::string>;

using testing::RecordingProgress;

constexpr TemplateAreas kCategories{false, false, true};

std::string Template(const std::string& name) {
    return PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / name) + kPathSeparator;
}

bool AnyRequest(const Lines& requests, const std::string& part) {
    return std::any_of(requests.begin(), requests.end(), [&part](const std::string& request) {
        return request.find(part) != std::string::npos;
    });
}

Lines RunJob(const JobRequest& request) {
    auto progress = std::make_shared<RecordingProgress>();
    const auto steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
    return progress->Lines();
}

// The marketplace's steps, with a file of the template changed right after its check passed.
class ChangedAfterCheck final : public DecorationSteps {
  public:
    ChangedAfterCheck(std::shared_ptr<ProgressSink> progress, std::function<void()> change)
        : steps_(MakeMarketplaceSteps(std::move(progress))), change_(std::move(change)) {}

    std::vector<TemplateFinding> CheckTemplate(const JobRequest& request,
                                               const TemplateFolder& folder) override {
        std::vector<TemplateFinding> problems = steps_->CheckTemplate(request, folder);
        change_();
        return problems;
    }
    AreaResult HoldShop() override { return steps_->HoldShop(); }
    AreaResult UpdateShopSign(JobContext& context, const TemplateFile& picture) override {
        return steps_->UpdateShopSign(context, picture);
    }
    AreaResult UpdateMainPage(JobContext& context, const MainFolder& mainFolder) override {
        return steps_->UpdateMainPage(context, mainFolder);
    }
    AreaResult UpdateCategories(JobContext& context, const ClassFolder& classFolder) override {
        return steps_->UpdateCategories(context, classFolder);
    }
    std::string UserNumber() override { return steps_->UserNumber(); }

  private:
    std::unique_ptr<DecorationSteps> steps_;
    std::function<void()> change_;
};

// The job uploads the files its check passed: a picture that changed after the check fails its
// area, in the words of a file that changed under its upload, and is not sent.
TEST(DecorationJobEndToEndTest, APictureChangedAfterTheCheckFailsItsAreaUnsent) {
    namespace fs = std::filesystem;
    const struct {
        const char* picture;  // in a copy of ocean-blue
        JobRequest areas;
        const char* failureLine;
        const char* notSent;  // the request that would have carried it
    } cases[] = {
        {"head/sign.gif", {true, false, false, {}}, "店招更新失败。", "picbanneredit"},
        {"main/gift.jpg", {false, true, false, {}}, "主页面更新失败。", "moduleedit"},
        {"class/Hats/Hats.jpg", {false, false, true, {}}, "分类更新失败。", "mycategory/update"},
    };
    for (const auto& c : cases) {
        LoggedInMarket market;
        const testing::TempFolder folder;
        const fs::path copy = folder.path() / "t";
        fs::copy(fs::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue", copy,
                 fs::copy_options::recursive);
        const fs::path picture = copy / fs::path(c.picture).make_preferred();
        JobRequest request = c.areas;
        request.templatePath = PathToUtf8(copy) + kPathSeparator;
        auto progress = std::make_shared<RecordingProgress>();
        ChangedAfterCheck steps(progress, [&picture] {
            std::ofstream(picture, std::ios::binary | std::ios::app) << "more";
        });
        RunDecorationJob(request, steps, *progress);
        const Lines lines = progress->Lines();
        ASSERT_GE(lines.size(), 3u) << c.picture;
        EXPECT_EQ(lines[lines.size() - 2], c.failureLine) << c.picture;
        EXPECT_NE(lines.back().find(DescribeChangedFile(PathToUtf8(picture))), std::string::npos)
            << lines.back();
        EXPECT_FALSE(AnyRequest(market.Requests(), c.notSent)) << c.picture;
    }
}

TEST(DecorationJobEndToEndTest, AllThreeAreasDecorateTheShop) {
    LoggedInMarket market;
    const Lines lines = RunJob({true, true, true, Template("spring-garden")});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "正在更新店招...");
    EXPECT_EQ(lines[1], "店招更新完成。");
    EXPECT_EQ(lines[2], "正在更新主页面...");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "开始上传 welcome.jpg"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "主页面更新完成。"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "分类更新完成。"), lines.end());
    EXPECT_EQ(lines.back(), "装修完成。");

    const Json::Value shop = market.Shop();
    EXPECT_GT(shop["sign"]["size"].asUInt64(), 40960u);  // the sign travelled in chunks
    ASSERT_EQ(shop["customContent"].size(), 1u);
    const std::string content =
        shop["customContent"][shop["customContent"].getMemberNames()[0]].asString();
    EXPECT_NE(content.find("http://album.kesto.example/"), std::string::npos) << content;
    EXPECT_NE(content.find("http://shop.kesto.example/10001"), std::string::npos) << content;
    EXPECT_EQ(content.find("welcome.jpg\""), std::string::npos) << content;
    // dresses (with two sub-categories), bags and shoes
    EXPECT_EQ(shop["categories"].size(), 5u);
    for (const Json::Value& category : shop["categories"]) {
        EXPECT_EQ(category["pictureAddress"].asString().rfind("http://album.kesto.example/", 0),
                  0u);
    }
    EXPECT_TRUE(market.Violations().empty()) << market.Violations().front();
}

TEST(DecorationJobEndToEndTest, FailedPictureEndsTheMainPageAndTheJob) {
    LoggedInMarket market;
    market.SetFault("UploadPicActivex=error*1");
    const Lines lines = RunJob({false, true, true, Template("ocean-blue")});
    // The failed picture has no done line; the categories are named as not started.
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "正在更新主页面...");
    EXPECT_EQ(lines[1].rfind("开始上传 ", 0), 0u);
    EXPECT_EQ(lines[2], "主页面更新失败。");
    EXPECT_EQ(lines[3].rfind("原因：", 0), 0u);
    EXPECT_EQ(lines[4], "没有开始：分类。");
    EXPECT_FALSE(AnyRequest(market.Requests(), "moduleedit"));
}

TEST(DecorationJobEndToEndTest, TransactionPasswordFailsTheShopSign) {
    LoggedInMarket market;
    market.RequirePassword(true);
    const Lines lines = RunJob({true, true, true, Template("ocean-blue")});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3),
              (Lines{"正在更新店招...", "请输入交易密码后重新上传。", "店招更新失败。"}));
    EXPECT_EQ(lines[3].rfind("原因：", 0), 0u);
    EXPECT_EQ(lines[4], "没有开始：主页面、分类。");
}

// An answer that logs the client in as another account fails the running area; nothing more is
// sent, under either account.
TEST(DecorationJobEndToEndTest, AnAnswerThatSwitchesTheAccountEndsTheJob) {
    LoggedInMarket market;
    const auto otherShop = [&market] {
        return market.market.Control("GET", "/control/shops/10002")->body;
    };
    const std::string otherBefore = otherShop();
    market.SetFault("showjson=relogin*1");
    const Lines lines = RunJob({true, true, true, Template("ocean-blue")});
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "分类更新失败。");
    EXPECT_NE(lines.back().find("changed the login during the run"), std::string::npos)
        << lines.back();
    const Lines requests = market.Requests();
    EXPECT_NE(requests.back().find("showjson"), std::string::npos) << requests.back();
    EXPECT_EQ(otherShop(), otherBefore);
}

// A network failure both the layout and the sign meet is said once, in this system's words (no
// error numbers of another system).
TEST(DecorationJobEndToEndTest, AReasonNeverSaysTheSameTwice) {
    LoggedInMarket market;
    market.SetFault("layoutshow=drop");
    market.SetFault("contentinfoshow=drop");
    ShopSession session;
    const TemplateFolder folder = ReadTemplateFolder(Template("ocean-blue"), {true, false, false});
    ASSERT_TRUE(folder.head.picture);
    const AreaResult result = UpdateShopSign(session, *folder.head.picture);
    EXPECT_LE(result.code, 0);
    const std::string cut = "was cut off";
    const std::size_t first = result.reason.find(cut);
    ASSERT_NE(first, std::string::npos) << result.reason;
    EXPECT_EQ(result.reason.find(cut, first + 1), std::string::npos) << result.reason;
    EXPECT_EQ(result.reason.find("(error "), std::string::npos) << result.reason;
}

TEST(DecorationJobEndToEndTest, FailedLayoutReadIsNeverSavedBack) {
    LoggedInMarket market;
    market.SetFault("layoutshow=error*1");
    ShopSession session;
    std::string failure;
    BannerChange change;
    EXPECT_EQ(AddShopHeaderModule(session, failure, change), -1);
    EXPECT_FALSE(AnyRequest(market.Requests(), "layoutupdate"));
    // The next read finds the document and saves the edited layout.
    EXPECT_EQ(AddShopHeaderModule(session, failure, change), 1);
    EXPECT_TRUE(AnyRequest(market.Requests(), "layoutupdate"));
}

TEST(CategoryUpdateEndToEndTest, ShopKeepsItsCategoriesWhenAPictureFailsThreeTimes) {
    LoggedInMarket market;
    const Json::Value before = market.Shop()["categories"];
    ASSERT_FALSE(before.empty());
    market.SetFault("UploadPicActivex=error*3");
    ShopSession session;
    EXPECT_EQ(UpdateCategories(ReadTemplateFolder(Template("ocean-blue"), kCategories).categories,
                               session, std::chrono::milliseconds(0))
                  .code,
              -1);
    EXPECT_EQ(market.Shop()["categories"], before);
    EXPECT_FALSE(AnyRequest(market.Requests(), "mycategory"));
}

TEST(CategoryUpdateEndToEndTest, TemplateWithoutCategoriesChangesNothing) {
    LoggedInMarket market;
    testing::TempFolder empty;
    empty.Write("class/readme.txt", "no category folders here");
    for (const std::string& folder : {empty.Folder(), empty.Folder() + "missing"}) {
        ShopSession session;
        EXPECT_EQ(
            UpdateCategories(ReadTemplateFolder(folder, kCategories).categories, session).code, -1)
            << folder;
    }
    EXPECT_TRUE(market.Requests().empty());
}

}  // namespace
}  // namespace kesto

namespace kesto {
namespace {

TEST(DecorationJobEndToEndTest, RequestsFollowTheProtocolsOrder) {
    LoggedInMarket market;
    RunJob({true, true, true, Template("ocean-blue")});
    // Only the order of the first request of each kind matters here.
    std::vector<std::string> firsts;
    for (const std::string& request : market.Requests()) {
        const std::string path = request.substr(request.rfind(' ') + 1);
        const std::string endpoint = path.substr(0, path.find('?'));
        if (std::find(firsts.begin(), firsts.end(), endpoint) == firsts.end()) {
            firsts.push_back(endpoint);
        }
    }
    EXPECT_EQ(firsts,
              (Lines{"/cgi-bin/modularmanage/layoutshow", "/cgi-bin/modularmanage/layoutupdate",
                     "/cgi-bin/myshop/contentinfoshow", "/cgi-bin/modularmanage/picbanneredit",
                     "/album/dirlist", "/album/createdir", "/album/photomanage", "/album/UpReq",
                     "/album/UploadPicActivex", "/cgi-bin/modularmanage/moduleedit",
                     "/cgi-bin/mycategory/showjson", "/cgi-bin/mycategory/update"}));
    // The old categories are listed (and deleted) only after the last picture is in the album.
    const Lines requests = market.Requests();
    std::size_t lastPicture = 0;
    std::size_t categoryList = 0;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].find("UploadPicActivex") != std::string::npos) {
            lastPicture = i;
        }
        if (categoryList == 0 && requests[i].find("showjson") != std::string::npos) {
            categoryList = i;
        }
    }
    EXPECT_LT(lastPicture, categoryList);
}

TEST(DecorationJobEndToEndTest, DroppedConnectionEndsTheAreaWithItsFailureLine) {
    LoggedInMarket market;
    market.SetFault("picbanneredit=drop");
    const Lines lines = RunJob({true, true, false, Template("ocean-blue")});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2),
              (Lines{"正在更新店招...", "店招更新失败。"}));
    EXPECT_EQ(lines[2].rfind("原因：", 0), 0u);
    EXPECT_EQ(lines[3], "没有开始：主页面。");
}

// Each area reads only the template's own files, even where the template changed after its
// check: a link out of the template fails the area before its first request.
TEST(DecorationJobEndToEndTest, AreasReadNothingThroughALinkOutOfTheTemplate) {
    namespace fs = std::filesystem;
    const struct {
        const char* linked;  // replaced by a link to a copy outside the template
        std::function<AreaResult(const std::string&, ShopSession&)> update;
    } cases[] = {
        {"head/sign.gif",
         [](const std::string& t, ShopSession& s) {
             const TemplateFolder read = ReadTemplateFolder(t, {true, false, false});
             return read.head.picture ? UpdateShopSign(s, *read.head.picture) : AreaResult{0, {}};
         }},
        {"main/content.txt",
         [](const std::string& t, ShopSession& s) {
             return UpdateMainPage(ReadTemplateFolder(t, {false, true, false}).main, s);
         }},
        {"class/Hats",
         [](const std::string& t, ShopSession& s) {
             return UpdateCategories(ReadTemplateFolder(t, kCategories).categories, s,
                                     std::chrono::milliseconds(0));
         }},
    };
    LoggedInMarket market;
    for (const auto& c : cases) {
        const testing::TempFolder folder;
        const fs::path copy = folder.path() / "t";
        fs::copy(fs::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue", copy,
                 fs::copy_options::recursive);
        const fs::path linked = copy / fs::path(c.linked).make_preferred();
        fs::rename(linked, folder.path() / "outside");
        std::error_code error;
        fs::create_symlink(folder.path() / "outside", linked, error);
        if (error) {
            GTEST_SKIP() << "this system does not let its user make links";
        }
        market.ClearRequests();
        ShopSession session;
        const AreaResult result = c.update(PathToUtf8(copy) + kPathSeparator, session);
        EXPECT_EQ(result.code, -1) << c.linked;
        EXPECT_NE(result.reason.find("links outside the template"), std::string::npos)
            << result.reason;
        EXPECT_TRUE(market.Requests().empty()) << c.linked;
    }
}

}  // namespace
}  // namespace kesto
