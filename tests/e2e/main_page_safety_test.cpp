// The shop sign, main page and layout steps against kesto-market, judged by the shop's state
// afterwards: a failed or refused step leaves the live shop as it found it and says why.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "job/decoration_job.h"
#include "job/marketplace_steps.h"
#include "market-sim/fault_table.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/http_request.h"
#include "platform/net_layer.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using testing::RecordingProgress;
using Lines = std::vector<std::string>;

std::string Template(const std::string& name) {
    return PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / name) + kPathSeparator;
}

// Records the job's messages and sets a fault on the market once a given message has come, so
// that a fault can hit a step part-way through an area.
class FaultAfterMessage final : public ProgressSink {
  public:
    FaultAfterMessage(sim::FaultTable& faults, std::optional<ProgressKind> kind, int stage,
                      std::string fault)
        : faults_(faults), kind_(kind), stage_(stage), fault_(std::move(fault)) {}

    void Post(ProgressMessage message) override {
        const bool trigger = !fault_.empty() && message.kind == kind_ && message.stage == stage_;
        recording.Post(std::move(message));
        if (trigger) {
            faults_.Set(*sim::ParseFaultSetting(fault_));
            fault_.clear();
        }
    }

    RecordingProgress recording;

  private:
    sim::FaultTable& faults_;
    std::optional<ProgressKind> kind_;
    int stage_;
    std::string fault_;
};

Lines RunJob(LoggedInMarket& market, const JobRequest& request,
             std::optional<ProgressKind> kind = std::nullopt, int stage = 0,
             const std::string& fault = {}) {
    auto progress =
        std::make_shared<FaultAfterMessage>(market.market.server().faults(), kind, stage, fault);
    const auto steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
    return progress->recording.Lines();
}

// The ids of the pictures in the main page's album folder.
std::set<std::string> MainPagePictures(const Json::Value& shop) {
    std::set<std::string> ids;
    for (const Json::Value& root : shop["album"]["folders"]) {
        for (const Json::Value& area : root["folders"]) {
            if (IsAreaFolderName(kMainPageAlbumFolder, area["name"].asString())) {
                for (const Json::Value& picture : area["pictures"]) {
                    ids.insert(picture["id"].asString());
                }
            }
        }
    }
    return ids;
}

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool AnyRequest(const Lines& requests, const std::string& part) {
    return std::any_of(requests.begin(), requests.end(), [&part](const std::string& request) {
        return request.find(part) != std::string::npos;
    });
}

// Expects the area's failure line, then its reason naming the step.
void ExpectFailure(const Lines& lines, const std::string& failureLine, const std::string& step) {
    const auto failed = std::find(lines.begin(), lines.end(), failureLine);
    ASSERT_NE(failed, lines.end()) << step;
    ASSERT_NE(failed + 1, lines.end()) << step;
    EXPECT_EQ(failed[1].rfind("原因：", 0), 0u) << failed[1];
    EXPECT_NE(failed[1].find(step), std::string::npos) << failed[1];
    EXPECT_FALSE(Contains(lines, "装修完成。"));
}

// Expects the main page the shop showed before: its modules, their texts and its pictures.
void ExpectMainPageAsBefore(const Json::Value& before, const Json::Value& after) {
    EXPECT_EQ(after["layout"].toStyledString(), before["layout"].toStyledString());
    EXPECT_EQ(after["customContent"].toStyledString(), before["customContent"].toStyledString());
    const std::set<std::string> kept = MainPagePictures(after);
    for (const std::string& id : MainPagePictures(before)) {
        EXPECT_TRUE(kept.contains(id)) << "picture " << id << " was deleted";
    }
}

const JobRequest kMainPageOnly{false, true, false, Template("ocean-blue")};

TEST(MainPageSafetyTest, NewPageReplacesTheOldModuleTextAndPictures) {
    LoggedInMarket market;
    ASSERT_EQ(RunJob(market, kMainPageOnly).back(), "装修完成。");
    const Json::Value first = market.Shop();
    ASSERT_EQ(first["customContent"].size(), 1u);
    ASSERT_EQ(MainPagePictures(first).size(), 3u);

    // The old module and pictures go only after the new text is in; its fsid is found although
    // the old module carries the same order until then.
    ASSERT_EQ(RunJob(market, kMainPageOnly).back(), "装修完成。");
    const Json::Value second = market.Shop();
    ASSERT_EQ(second["customContent"].size(), 1u);
    EXPECT_NE(second["customContent"].getMemberNames(), first["customContent"].getMemberNames());
    std::set<std::string> both = MainPagePictures(first);
    both.merge(MainPagePictures(second));
    EXPECT_EQ(both.size(), 6u) << "the old pictures are still there";
    EXPECT_EQ(MainPagePictures(second).size(), 3u);
    EXPECT_TRUE(market.Violations().empty()) << market.Violations().front();
}

TEST(MainPageSafetyTest, FailureAtAnyStepKeepsTheOldMainPage) {
    const struct {
        const char* fault;
        std::optional<ProgressKind> after;  // the fault is set once this message came (none:
                                            // before the job)
        int afterStage;
        const char* step;  // what the reason names
        bool password;
    } cases[] = {
        {"UploadPicActivex=error", kPictureUploaded, 0, "uploading the main page picture", false},
        {"UploadPicActivex=drop", std::nullopt, 0, "uploading the main page picture", false},
        {"photomanage=password", std::nullopt, 0, "transaction password", true},
        {"layoutupdate=drop", std::nullopt, 0, "adding the main page's custom-content module",
         false},
        {"layoutupdate=password*1", std::nullopt, 0, "transaction password", true},
        {"contentinfoshow=drop", std::nullopt, 0, "reading the shop's content information", false},
        {"contentinfoshow=password", std::nullopt, 0, "transaction password", true},
        {"moduleedit=error", std::nullopt, 0,
         "saving the main page text: manage.kesto.example answered 500", false},
        {"moduleedit=errorpage", std::nullopt, 0,
         "saving the main page text: manage.kesto.example answered 502", false},
        {"moduleedit=drop", std::nullopt, 0, "saving the main page text", false},
        {"moduleedit=password", std::nullopt, 0, "saving the main page text: the marketplace asks",
         true},
        // The old module's removal fails after the new text was saved.
        {"layoutupdate=error*1", kCustomContentSave, 1,
         "removing the old custom-content module: saving the shop layout: manage.kesto.example "
         "answered 500",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        LoggedInMarket market;
        ASSERT_EQ(RunJob(market, kMainPageOnly).back(), "装修完成。");
        const Json::Value before = market.Shop();
        market.ClearRequests();
        if (!c.after) {
            market.SetFault(c.fault);
        }
        const Lines lines = RunJob(market, kMainPageOnly, c.after, c.afterStage, c.fault);
        ExpectFailure(lines, "主页面更新失败。", c.step);
        EXPECT_EQ(Contains(lines, "请输入交易密码后重新上传。"), c.password);
        market.market.server().faults().Clear();
        ExpectMainPageAsBefore(before, market.Shop());
        EXPECT_FALSE(AnyRequest(market.Requests(), "batchdel"));
    }
}

// The layout save adding the new module gets no answer in time and is carried out only after
// the module was looked for: the reason says an empty module may show, and the next update
// removes it.
TEST(MainPageSafetyTest, LayoutSaveCarriedOutAfterItsAnswerWasLostIsNamedAndMendedNextTime) {
    LoggedInMarket market;
    SharedSession().SetStallTimeout(1);  // libcurl gives up after about six seconds
    market.SetFault("layoutupdate=stall:9*1");
    const Lines lines = RunJob(market, kMainPageOnly);
    SharedSession().SetStallTimeout(net::kStallTimeoutSeconds);
    ExpectFailure(lines, "主页面更新失败。", "an empty custom-content module shows");
    for (int i = 0; i < 100 && market.Shop()["customContent"].size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_EQ(market.Shop()["customContent"].size(), 2u) << "the late save was carried out";
    ASSERT_EQ(RunJob(market, kMainPageOnly).back(), "装修完成。");
    EXPECT_EQ(market.Shop()["customContent"].size(), 1u);
}

TEST(MainPageSafetyTest, FolderOfTemplatesSendsNothing) {
    LoggedInMarket market;
    const std::string templates =
        PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template") + kPathSeparator;
    const Lines lines = RunJob(market, {true, true, false, templates});
    // The check before the first request refuses it.
    EXPECT_TRUE(Contains(lines, "模板检查未通过，店铺没有任何改动。"));
    EXPECT_TRUE(market.Requests().empty()) << market.Requests().front();
}

TEST(MainPageSafetyTest, NewModuleIsFoundInAFirstFrameOfKindOne) {
    LoggedInMarket market;
    std::string oldFsid;
    {
        auto& marketplace = market.market.server().market();
        const auto lock = marketplace.Lock();
        sim::ShopLayout& layout = marketplace.FindShop(LoggedInMarket::kUser)->layout;
        layout.frames[0].fid = "1";
        oldFsid = layout.frames[0].modules.back().fsid;
    }
    ASSERT_EQ(RunJob(market, kMainPageOnly).back(), "装修完成。");
    const Json::Value shop = market.Shop();
    ASSERT_EQ(shop["customContent"].size(), 1u);
    const std::string fsid = shop["customContent"].getMemberNames()[0];
    EXPECT_NE(fsid, oldFsid);
    EXPECT_NE(shop["customContent"][fsid].asString().find("http://album.kesto.example/"),
              std::string::npos);
    // The new module leads the frame.
    EXPECT_EQ(shop["layout"]["shopFrame"][0]["areas"][0]["fsid"], fsid);
}

// Gives the shop's banner modules A and B before a shop header: [navigation, information,
// header].
void PutHeaderAfterTwoModules(LoggedInMarket& market) {
    auto& marketplace = market.market.server().market();
    const auto lock = marketplace.Lock();
    sim::ShopLayout& layout = marketplace.FindShop(LoggedInMarket::kUser)->layout;
    for (const char* mid : {"3", "9"}) {
        sim::LayoutModule module;
        module.area = "0";
        module.mid = mid;
        module.name = sim::ModuleName(mid);
        module.fsid = marketplace.NewId();
        module.order = std::to_string(layout.banner.modules.size());
        module.mindex = module.order;
        layout.banner.modules.push_back(module);
    }
}

TEST(ShopSignSafetyTest, BannerWithAHeaderKeepsItsModules) {
    LoggedInMarket market;
    PutHeaderAfterTwoModules(market);
    const Json::Value banner = market.Shop()["layout"]["shopBanner"];
    ASSERT_EQ(RunJob(market, {true, true, false, Template("ocean-blue")}).back(), "装修完成。");
    const Json::Value shop = market.Shop();
    EXPECT_EQ(shop["layout"]["shopBanner"].toStyledString(), banner.toStyledString());
    EXPECT_EQ(shop["sign"]["fileName"], "sign.gif");
}

TEST(ShopSignSafetyTest, HeaderReplacesTheBannersModulesOnceTheSignIsIn) {
    LoggedInMarket market;
    ASSERT_EQ(RunJob(market, {true, false, false, Template("ocean-blue")}).back(), "装修完成。");
    const Json::Value modules = market.Shop()["layout"]["shopBanner"]["areas"];
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_EQ(modules[0]["mid"], "9");
}

TEST(ShopSignSafetyTest, FailedSignLeavesTheBannerAndTheSignAsTheyWere) {
    const struct {
        const char* fault;
        const char* step;
        bool password;
    } cases[] = {
        // A gateway's error page carries no error code, but it is no success answer.
        {"picbanneredit=errorpage",
         "uploading the shop sign sign.gif: manage.kesto.example answered 502", false},
        {"picbanneredit=error",
         "uploading the shop sign sign.gif: manage.kesto.example answered 500", false},
        {"picbanneredit=drop", "uploading the shop sign sign.gif", false},
        {"picbanneredit=password", "uploading the shop sign sign.gif: the marketplace asks", true},
        {"contentinfoshow=password", "transaction password", true},
        {"contentinfoshow=drop", "reading the shop's content information", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        for (const bool headerThere : {false, true}) {
            LoggedInMarket market;
            if (headerThere) {
                PutHeaderAfterTwoModules(market);
            }
            const Json::Value before = market.Shop();
            market.SetFault(c.fault);
            const Lines lines = RunJob(market, {true, true, false, Template("ocean-blue")});
            ExpectFailure(lines, "店招更新失败。", c.step);
            EXPECT_EQ(Contains(lines, "请输入交易密码后重新上传。"), c.password);
            EXPECT_FALSE(Contains(lines, "正在更新主页面..."));
            market.market.server().faults().Clear();
            const Json::Value after = market.Shop();
            EXPECT_EQ(after["layout"].toStyledString(), before["layout"].toStyledString())
                << headerThere;
            EXPECT_EQ(after["sign"], before["sign"]) << headerThere;
        }
    }
}

}  // namespace
}  // namespace kesto
