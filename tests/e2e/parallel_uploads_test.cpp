// Picture uploads side by side against kesto-market: the saved page text and category records
// keep the template's order whatever order the answers come in, and one failing upload stops the
// pictures after it from starting and fails the area as a failed upload always has.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "job/decoration_job.h"
#include "job/marketplace_steps.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/common/temp_folder.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

namespace fs = std::filesystem;
using testing::LoggedInMarket;
using Lines = std::vector<std::string>;

constexpr int kMainPictures = 8;
constexpr int kCategories = 3;  // each a top-level picture and two sub-categories

// A template of kMainPictures main-page pictures and kCategories categories, in the folder.
std::string MakeTemplate(const fs::path& folder) {
    const fs::path sample = fs::path(KESTO_SOURCE_DIR) / "template" / "spring-garden";
    fs::create_directories(folder / "main");
    std::ofstream page(folder / "main" / "page.txt");
    for (int i = 1; i <= kMainPictures; ++i) {
        const std::string name = "picture" + std::to_string(i) + ".jpg";
        fs::copy_file(sample / "main" / "welcome.jpg", folder / "main" / name);
        page << "<p><img src=\"" << name << "\"></p>\n";
    }
    for (int c = 1; c <= kCategories; ++c) {
        const std::string category = "category" + std::to_string(c);
        fs::create_directories(folder / "class" / category);
        fs::copy_file(sample / "main" / "welcome.jpg",
                      folder / "class" / category / (category + ".jpg"));
        for (int s = 1; s <= 2; ++s) {
            fs::copy_file(
                sample / "main" / "welcome.jpg",
                folder / "class" / category / (category + "-" + std::to_string(s) + ".jpg"));
        }
    }
    return PathToUtf8(folder) + kPathSeparator;
}

// The album's pictures by file name, and their file names in the order the album took them.
void ReadAlbum(const Json::Value& folder, std::map<std::string, std::string>& addresses,
               Lines& taken) {
    for (const Json::Value& picture : folder["pictures"]) {
        addresses[picture["fileName"].asString()] = picture["address"].asString();
        taken.push_back(picture["fileName"].asString());
    }
    for (const Json::Value& child : folder["folders"]) {
        ReadAlbum(child, addresses, taken);
    }
}

// The addresses the page text shows, in its order.
Lines PageAddresses(const std::string& content) {
    Lines found;
    for (std::size_t at = content.find("src=\""); at != std::string::npos;
         at = content.find("src=\"", at + 1)) {
        found.push_back(content.substr(at + 5, content.find('"', at + 5) - at - 5));
    }
    return found;
}

std::ptrdiff_t Position(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

TEST(ParallelUploadsEndToEndTest, AnswersOutOfOrderKeepTheTemplateOrder) {
    const struct {
        const char* name;
        JobRequest request;  // areas and uploads at once
        const char* fault;
        bool outOfOrder;  // the album takes the stalled picture after later ones
    } cases[] = {
        {"main page, four at once",
         {false, true, false, {}, kJobTimeBound, 4},
         "UploadPicActivex=stall:1*1",
         true},
        {"categories, four at once",
         {false, false, true, {}, kJobTimeBound, 4},
         "UploadPicActivex=stall:1*1",
         true},
        {"both areas, one at a time", {false, true, true, {}, kJobTimeBound, 1}, "", false},
    };
    for (const auto& c : cases) {
        LoggedInMarket market;
        const testing::TempFolder folder;
        JobRequest request = c.request;
        request.templatePath = MakeTemplate(folder.path() / "t");
        if (*c.fault != '\0') {
            market.SetFault(c.fault);
        }
        auto progress = std::make_shared<testing::RecordingProgress>();
        const auto steps = MakeMarketplaceSteps(progress, request.parallelUploads);
        RunDecorationJob(request, *steps, *progress);
        const Lines lines = progress->Lines();
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(lines.back(), "装修完成。") << c.name;

        const Json::Value shop = market.Shop();
        std::map<std::string, std::string> album;
        Lines taken;
        ReadAlbum(shop["album"], album, taken);
        Lines templateOrder;
        for (int i = 1; request.mainPage && i <= kMainPictures; ++i) {
            templateOrder.push_back("picture" + std::to_string(i) + ".jpg");
        }
        for (int i = 1; request.categories && i <= kCategories; ++i) {
            const std::string category = "category" + std::to_string(i);
            templateOrder.insert(templateOrder.end(),
                                 {category + ".jpg", category + "-1.jpg", category + "-2.jpg"});
        }
        Lines sorted = taken;
        std::sort(sorted.begin(), sorted.end());
        Lines expected = templateOrder;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << c.name << ": each picture once";
        EXPECT_EQ(taken != templateOrder, c.outOfOrder) << c.name;
        if (request.mainPage) {
            ASSERT_EQ(shop["customContent"].size(), 1u) << c.name;
            const Lines shown = PageAddresses(
                shop["customContent"][shop["customContent"].getMemberNames()[0]].asString());
            ASSERT_EQ(shown.size(), static_cast<std::size_t>(kMainPictures)) << c.name;
            for (int i = 1; i <= kMainPictures; ++i) {
                const std::string name = "picture" + std::to_string(i) + ".jpg";
                EXPECT_EQ(shown[static_cast<std::size_t>(i) - 1], album[name])
                    << c.name << ": " << name;
                EXPECT_LT(Position(lines, "开始上传 " + name), Position(lines, name + " ,上传完成"))
                    << c.name;
            }
        }
        if (request.categories) {
            ASSERT_EQ(shop["categories"].size(), static_cast<unsigned>(3 * kCategories)) << c.name;
            for (const Json::Value& category : shop["categories"]) {
                const std::string name = category["name"].asString();
                EXPECT_EQ(category["pictureAddress"].asString(), album[name + ".jpg"])
                    << c.name << ": " << name;
            }
        }
    }
}

TEST(ParallelUploadsEndToEndTest, OneFailingUploadStopsTheRestAndKeepsTheShop) {
    const struct {
        const char* name;
        JobRequest request;
        const char* failureLine;
        Lines started;    // the pictures started at once, one of which the reason names
        long maxUploads;  // those, at most two more before the failure was known, with retries
    } cases[] = {
        {"main page, three at once",
         {false, true, false, {}, kJobTimeBound, 3},
         "主页面更新失败。",
         {"picture1.jpg", "picture2.jpg", "picture3.jpg"},
         5},
        {"categories, three at once",
         {false, false, true, {}, kJobTimeBound, 3},
         "分类更新失败。",
         {"category1.jpg", "category1-1.jpg", "category1-2.jpg"},
         5 * 3},
    };
    for (const auto& c : cases) {
        LoggedInMarket market;
        const testing::TempFolder folder;
        JobRequest request = c.request;
        request.templatePath = MakeTemplate(folder.path() / "t");
        {
            // A shop decorated once already, whose page and categories must stay.
            auto progress = std::make_shared<testing::RecordingProgress>();
            const auto steps = MakeMarketplaceSteps(progress);
            JobRequest first = request;
            first.parallelUploads = 1;
            RunDecorationJob(first, *steps, *progress);
            ASSERT_EQ(progress->Lines().back(), "装修完成。") << c.name;
        }
        const Json::Value before = market.Shop();
        market.ClearRequests();
        // Every answer takes a while, so a failure is known before a second round could finish;
        // every upload after the first the album sees fails.
        market.market.server().SetAnswerDelay(std::chrono::milliseconds(100));
        market.SetFault("UploadPicActivex=error+1");
        auto progress = std::make_shared<testing::RecordingProgress>();
        const auto steps = MakeMarketplaceSteps(progress, request.parallelUploads);
        RunDecorationJob(request, *steps, *progress);
        const Lines lines = progress->Lines();
        ASSERT_GE(lines.size(), 2u) << c.name;
        EXPECT_EQ(lines[lines.size() - 2], c.failureLine) << c.name;
        EXPECT_TRUE(std::any_of(c.started.begin(), c.started.end(), [&](const std::string& name) {
            return lines.back().find(name) != std::string::npos;
        })) << lines.back();

        const Lines requests = market.Requests();
        const auto uploads = std::count_if(requests.begin(), requests.end(), [](const auto& r) {
            return r.find("UploadPicActivex") != std::string::npos;
        });
        EXPECT_LE(uploads, c.maxUploads) << c.name;
        const Json::Value after = market.Shop();
        EXPECT_EQ(after["customContent"], before["customContent"]) << c.name;
        EXPECT_EQ(after["categories"], before["categories"]) << c.name;
        EXPECT_TRUE(std::none_of(requests.begin(), requests.end(),
                                 [](const std::string& r) {
                                     return r.find("batchdel") != std::string::npos ||
                                            r.find("moduleedit") != std::string::npos ||
                                            r.find("mycategory/update") != std::string::npos;
                                 }))
            << c.name << ": nothing removed or saved";
    }
}

}  // namespace
}  // namespace kesto
