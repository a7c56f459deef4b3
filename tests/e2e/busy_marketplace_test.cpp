// Whole jobs against kesto-market when the marketplace is too busy to take a request (429) or
// ends the login part-way: a busy answer is waited out and the job goes on as if it had not come;
// an ended login fails the running area, keeps the shop as it was and starts nothing more.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "job/decoration_job.h"
#include "job/marketplace_steps.h"
#include "market/login_watch.h"
#include "market/request_time_bound.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using testing::RecordingProgress;
using Lines = std::vector<std::string>;

JobRequest AllAreas() {
    return {true, true, true,
            PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue") +
                kPathSeparator};
}

Lines RunJob(const JobRequest& request) {
    auto progress = std::make_shared<RecordingProgress>();
    const auto steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
    return progress->Lines();
}

// "METHOD host path" of the requests the market answered with other than status, in order.
Lines RequestsNotAnswered(LoggedInMarket& market, int status) {
    Lines requests;
    for (const auto& entry : market.market.server().journal().Snapshot()) {
        if (entry.status != status) {
            requests.push_back(entry.method + " " + entry.host + " " + entry.path);
        }
    }
    return requests;
}

std::size_t Count(const Lines& lines, const std::string& part) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(),
        [&part](const std::string& line) { return line.find(part) != std::string::npos; }));
}

// The requests of a job that meets no fault, the same for every run of the template.
Lines UndisturbedRequests() {
    LoggedInMarket market;
    if (RunJob(AllAreas()).back() != "装修完成。") {
        throw std::runtime_error("the undisturbed job failed");
    }
    return market.Requests();
}

// A busy answer costs a wait and the same request again, nothing else: once the 429 answers are
// taken out, the requests are those of an undisturbed job (no picture goes twice, no category
// update repeats), and every area is done.
TEST(BusyMarketplaceTest, ATooManyRequestsAnswerIsWaitedOutAndTheJobGoesOn) {
    const Lines undisturbed = UndisturbedRequests();
    const struct {
        const char* fault;
        std::size_t refusals;
        const char* waitLine;
    } cases[] = {
        {"UploadPicActivex=429:0*1", 1, "服务器繁忙，等待 0 秒后重试..."},  // a main page picture
        {"UploadPicActivex=429*1+4", 1, "服务器繁忙，等待 1 秒后重试..."},  // a category picture
        {"update=429:1*1", 1, "服务器繁忙，等待 1 秒后重试..."},            // a category update
        {"layoutshow=429:0*2", 2, "服务器繁忙，等待 0 秒后重试..."},        // a GET, twice
        {"showjson=429*1", 1, "服务器繁忙，等待 1 秒后重试..."},
    };
    for (const auto mode : {sim::AnswerMode::kRich, sim::AnswerMode::kDocumented}) {
        for (const auto& c : cases) {
            LoggedInMarket market;
            market.market.server().SetAnswerMode(mode);
            market.SetFault(c.fault);
            const Lines lines = RunJob(AllAreas());
            ASSERT_FALSE(lines.empty()) << c.fault;
            EXPECT_EQ(lines.back(), "装修完成。") << c.fault;
            EXPECT_EQ(Count(lines, c.waitLine), c.refusals) << c.fault;
            EXPECT_EQ(Count(lines, "分类更新完成。"), 1u) << c.fault;
            const Lines refused = market.Requests();
            EXPECT_EQ(refused.size() - RequestsNotAnswered(market, 429).size(), c.refusals)
                << c.fault;
            EXPECT_EQ(RequestsNotAnswered(market, 429), undisturbed) << c.fault;
            EXPECT_TRUE(market.Violations().empty()) << market.Violations().front();
        }
    }
}

// A wait that would outlast the job's time bound is not begun: the area fails as one the bound
// stopped, and nothing later starts.
TEST(BusyMarketplaceTest, AWaitPastTheTimeBoundFailsTheArea) {
    LoggedInMarket market;
    market.SetFault("layoutshow=429:30");
    JobRequest request = AllAreas();
    request.timeBound = std::chrono::seconds(5);
    const Lines lines = RunJob(request);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "店招更新失败。");
    EXPECT_EQ(lines[2].rfind("原因：", 0), 0u) << lines[2];
    EXPECT_TRUE(lines[2].ends_with(DescribeMissedTimeBound(request.timeBound))) << lines[2];
    EXPECT_EQ(lines[3], "没有开始：主页面、分类。");
    EXPECT_EQ(market.Requests().size(), 1u);
}

// The ids of every picture in the album.
std::set<std::string> AlbumPictures(const Json::Value& folder) {
    std::set<std::string> ids;
    for (const Json::Value& picture : folder["pictures"]) {
        ids.insert(picture["id"].asString());
    }
    for (const Json::Value& inner : folder["folders"]) {
        ids.merge(AlbumPictures(inner));
    }
    return ids;
}

// The login ends at a request of each area: that area fails with the expired-login reason, the
// later ones are named as not started, what the area would change is as it was, no picture is
// gone, and nothing is sent after the request that met the end but the look at the login page.
// In the rich answer mode the end clears the login cookies; in the documented one only the
// redirect to the login page says it.
TEST(BusyMarketplaceTest, AnExpiredLoginEndsTheJobAndKeepsTheShop) {
    const struct {
        const char* fault;
        const char* failureLine;
        const char* notStarted;         // null when no later area was ticked
        std::vector<const char*> kept;  // the parts of the shop as they were
    } cases[] = {
        {"layoutshow=expire",
         "店招更新失败。",
         "没有开始：主页面、分类。",
         {"sign", "layout", "customContent", "categories"}},
        {"UploadPicActivex=expire+1",
         "主页面更新失败。",
         "没有开始：分类。",
         {"customContent", "categories"}},
        {"UploadPicActivex=expire+4", "分类更新失败。", nullptr, {"categories"}},
        {"*=expire+25", "分类更新失败。", nullptr, {"categories"}},  // a category picture
    };
    for (const auto mode : {sim::AnswerMode::kRich, sim::AnswerMode::kDocumented}) {
        for (const auto& c : cases) {
            LoggedInMarket market;
            market.market.server().SetAnswerMode(mode);
            const Json::Value before = market.Shop();
            market.SetFault(c.fault);
            const Lines lines = RunJob(AllAreas());
            const auto failed = std::find(lines.begin(), lines.end(), c.failureLine);
            ASSERT_NE(failed, lines.end()) << c.fault;
            ASSERT_NE(failed + 1, lines.end()) << c.fault;
            EXPECT_EQ(failed[1].rfind("原因：", 0), 0u) << failed[1];
            EXPECT_NE(failed[1].find(kLoginExpiredReason), std::string::npos) << failed[1];
            EXPECT_EQ(lines.end() - failed, c.notStarted ? 3 : 2) << c.fault;
            if (c.notStarted) {
                EXPECT_EQ(lines.back(), c.notStarted) << c.fault;
            }
            const Json::Value after = market.Shop();
            for (const char* part : c.kept) {
                EXPECT_EQ(after[part].toStyledString(), before[part].toStyledString())
                    << c.fault << ": " << part;
            }
            const std::set<std::string> pictures = AlbumPictures(after["album"]);
            for (const std::string& id : AlbumPictures(before["album"])) {
                EXPECT_TRUE(pictures.contains(id)) << c.fault << ": picture " << id;
            }
            const auto journal = market.market.server().journal().Snapshot();
            const auto ended = std::find_if(journal.begin(), journal.end(),
                                            [](const auto& entry) { return entry.status == 302; });
            ASSERT_NE(ended, journal.end()) << c.fault;
            // Cleared cookies say it at once; a redirect alone is followed to the login page.
            const bool cookiesCleared = mode == sim::AnswerMode::kRich;
            ASSERT_EQ(journal.end() - ended, cookiesCleared ? 1 : 2) << c.fault;
            if (!cookiesCleared) {
                EXPECT_EQ(ended[1].host, "member.kesto.example");
                EXPECT_EQ(ended[1].path, "/cgi-bin/login_entry");
            }
        }
    }
}

}  // namespace
}  // namespace kesto
