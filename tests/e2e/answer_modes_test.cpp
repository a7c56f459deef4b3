// Whole decorations against kesto-market answering as richly as it can and with only the
// markers the marketplace documents: every area must work, and stay safe, on what is promised.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "job/categories.h"
#include "job/decoration_job.h"
#include "job/marketplace_steps.h"
#include "market-sim/answer_mode.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/shop_session.h"
#include "support/file_path.h"
#include "templates/template_folder.h"
#include "tests/common/recording_progress.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using Lines = std::vector<std::string>;
using Names = std::set<std::string>;

constexpr sim::AnswerMode kModes[] = {sim::AnswerMode::kRich, sim::AnswerMode::kDocumented};

std::string Template(const std::string& name) {
    return PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / name) + kPathSeparator;
}

Lines RunJob(const JobRequest& request) {
    auto progress = std::make_shared<testing::RecordingProgress>();
    const auto steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
    return progress->Lines();
}

// The area's album folders in the tool's root folder, each with the names of its pictures.
std::map<std::string, Names> AreaFolders(const Json::Value& shop, std::string_view area) {
    std::map<std::string, Names> folders;
    for (const Json::Value& root : shop["album"]["folders"]) {
        for (const Json::Value& folder : root["folders"]) {
            if (IsAreaFolderName(area, folder["name"].asString())) {
                Names& pictures = folders[folder["name"].asString()];
                for (const Json::Value& picture : folder["pictures"]) {
                    pictures.insert(picture["fileName"].asString());
                }
            }
        }
    }
    return folders;
}

Names CategoryNames(const Json::Value& shop) {
    Names names;
    for (const Json::Value& category : shop["categories"]) {
        names.insert(category["name"].asString());
    }
    return names;
}

class ModeMarket : public LoggedInMarket {
  public:
    explicit ModeMarket(sim::AnswerMode mode) { market.server().SetAnswerMode(mode); }
};

TEST(AnswerModesTest, TwoRunsInARowLeaveOnlyTheLastRunsPicturesModuleAndTree) {
    for (const sim::AnswerMode mode : kModes) {
        const std::string name(sim::AnswerModeName(mode));
        ModeMarket market(mode);
        ASSERT_EQ(RunJob({true, true, true, Template("spring-garden")}).back(), "装修完成。")
            << name;
        const Lines second = RunJob({true, true, true, Template("ocean-blue")});
        ASSERT_EQ(second.back(), "装修完成。") << name << ": " << second[second.size() - 2];
        const Json::Value shop = market.Shop();
        EXPECT_EQ(shop["customContent"].size(), 1u) << name;
        EXPECT_EQ(CategoryNames(shop),
                  (Names{"Hats", "Sandals", "Sandals-Kids", "Shirts", "Shirts-Linen"}))
            << name;
        const auto main = AreaFolders(shop, kMainPageAlbumFolder);
        ASSERT_EQ(main.size(), 1u) << name;
        EXPECT_EQ(main.begin()->second, (Names{"gift.jpg", "sale.jpg", "top.jpg"})) << name;
        const auto categories = AreaFolders(shop, kCategoryAlbumFolder);
        ASSERT_EQ(categories.size(), 1u) << name;
        EXPECT_EQ(categories.begin()->second.size(), 5u) << name;
        EXPECT_TRUE(market.Violations().empty()) << name << ": " << market.Violations().front();
    }
}

bool AnyRequest(const Lines& requests, const std::string& part) {
    return std::any_of(requests.begin(), requests.end(), [&part](const std::string& request) {
        return request.find(part) != std::string::npos;
    });
}

// A layout answer that cannot be read: no layout is saved, the page goes into the custom-content
// module the content information names, and the sign goes up as always.
TEST(AnswerModesTest, UnreadableLayoutPutsThePageIntoThePresentModuleAndSavesNoLayout) {
    for (const sim::AnswerMode mode : kModes) {
        const std::string name(sim::AnswerModeName(mode));
        ModeMarket market(mode);
        ASSERT_EQ(RunJob({true, false, false, Template("spring-garden")}).back(), "装修完成。");
        const Json::Value before = market.Shop();
        market.ClearRequests();
        market.SetFault("layoutshow=garbage");
        const Lines lines = RunJob({true, true, false, Template("ocean-blue")});
        EXPECT_EQ(lines.back(), "装修完成。") << name << ": " << lines[lines.size() - 2];
        EXPECT_FALSE(AnyRequest(market.Requests(), "layoutupdate")) << name;
        const Json::Value after = market.Shop();
        EXPECT_EQ(after["customContent"].getMemberNames(), before["customContent"].getMemberNames())
            << name;
        const std::string content =
            after["customContent"][after["customContent"].getMemberNames()[0]].asString();
        EXPECT_NE(content.find("http://album.kesto.example/"), std::string::npos) << content;
        EXPECT_NE(after["sign"], before["sign"]) << name;
    }
}

// Where the marketplace lists no names, old categories cannot be put back: a tree that cannot be
// made after the old one was deleted leaves the shop without categories, and the reason says so.
TEST(AnswerModesTest, CreatingUpdateRefusedForGoodIsReportedWithWhatTheShopShows) {
    for (const sim::AnswerMode mode : kModes) {
        const std::string name(sim::AnswerModeName(mode));
        ModeMarket market(mode);
        ASSERT_EQ(RunJob({false, false, true, Template("spring-garden")}).back(), "装修完成。");
        // The same names again are refused beside the old ones; then the delete passes and every
        // creating update after it is refused.
        market.market.server().SetRefuseDuplicateCategoryNames(true);
        market.SetFault("update=error*10+2");
        ShopSession session;
        const AreaResult result = UpdateCategories(
            ReadTemplateFolder(Template("spring-garden"), {false, false, true}).categories, session,
            std::chrono::milliseconds(0));
        EXPECT_EQ(result.code, -1);
        // The rich list gives the names, but the put-back is refused too.
        const std::string expected = mode == sim::AnswerMode::kRich
                                         ? "putting the old categories back failed too"
                                         : "the old categories cannot be put back";
        EXPECT_NE(result.reason.find(expected), std::string::npos) << name << ": " << result.reason;
        EXPECT_NE(result.reason.find("may be without categories"), std::string::npos)
            << name << ": " << result.reason;
        EXPECT_TRUE(CategoryNames(market.Shop()).empty()) << name;
    }
}

}  // namespace
}  // namespace kesto
