#include "job/decoration_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "job/progress.h"
#include "job/progress_numbers.h"
#include "market/job_context.h"
#include "market/login_watch.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;

using testing::RecordingProgress;

class FakeSteps final : public DecorationSteps {
  public:
    AreaResult UpdateShopSign(JobContext& context, const TemplateFile& picture) override {
        calls.push_back("sign " + picture.path);
        return Ran(context, signResult);
    }
    AreaResult UpdateMainPage(JobContext& context, const MainFolder& mainFolder) override {
        calls.push_back("main " + mainFolder.folder.path);
        return Ran(context, mainResult);
    }
    AreaResult UpdateCategories(JobContext& context, const ClassFolder& classFolder) override {
        calls.push_back("class " + classFolder.folder.path);
        return Ran(context, classResult);
    }
    std::string UserNumber() override { return userNumber; }
    AreaResult HoldShop() override { return {holdShop ? 1 : 0, failureReason}; }

    AreaResult Ran(JobContext& context, int code) {
        if (duringArea) {
            duringArea(context);
        }
        return {code, failureReason};
    }

    // What each area does with the job's context before it ends.
    std::function<void(JobContext&)> duringArea;
    bool holdShop = true;
    std::string failureReason;
    int signResult = 1;
    int mainResult = 1;
    int classResult = 1;
    std::string userNumber = "10001";
    std::vector<std::string> calls;
};

std::vector<int> Numbers(const std::vector<ProgressMessage>& messages) {
    std::vector<int> numbers;
    for (const ProgressMessage& message : messages) {
        numbers.push_back(ProgressNumber(message.kind) * 10 + message.stage);
    }
    return numbers;
}

TEST(ShopFrontAddressTest, NamesTheShopOfTheUser) {
    EXPECT_EQ(ShopFrontAddress("10001", 4711), "http://shop.kesto.example/10001?t=4711");
    EXPECT_EQ(ShopFrontAddress("", 4711), "");
}

struct JobCase {
    const char* name;
    bool shopSign, mainPage, categories;
    int signResult, mainResult, classResult;
    std::vector<int> messages;  // number * 10 + stage
    std::size_t calls;          // area operations run
};

TEST(DecorationJobTest, RunsTickedAreasInOrderAndStopsAtTheFirstFailure) {
    const JobCase cases[] = {
        {"all succeed",
         true,
         true,
         true,
         1,
         1,
         1,
         {20320, 20321, 20300, 20301, 21240, 21241, 20380},
         3},
        {"nothing ticked", false, false, false, 1, 1, 1, {20380}, 0},
        // A failed area is followed by its reason (message 2042), then by the ticked areas it
        // kept from starting (2056).
        {"main page fails", false, true, true, 1, 0, 1, {20300, 20301, 20420, 20560}, 1},
        {"shop sign fails", true, true, true, -1, 1, 1, {20320, 20321, 20420, 20560}, 1},
        {"sign fails alone", true, false, false, -1, 1, 1, {20320, 20321, 20420}, 1},
        {"categories fail", false, false, true, 1, 1, -1, {21240, 21241, 20420}, 1},
    };
    TempFolder folder;
    folder.Write("head/sign.jpg", "x");
    for (const JobCase& c : cases) {
        FakeSteps steps;
        steps.signResult = c.signResult;
        steps.mainResult = c.mainResult;
        steps.classResult = c.classResult;
        RecordingProgress progress;
        RunDecorationJob({c.shopSign, c.mainPage, c.categories, folder.Folder()}, steps, progress);
        EXPECT_EQ(Numbers(progress.messages), c.messages) << c.name;
        EXPECT_EQ(steps.calls.size(), c.calls) << c.name;
        const auto reason =
            std::find_if(progress.messages.begin(), progress.messages.end(),
                         [](const ProgressMessage& m) { return m.kind == kFailureReason; });
        if (reason != progress.messages.end()) {
            EXPECT_LE(reason[-1].result, 0) << c.name;
            EXPECT_FALSE(reason->text.empty()) << c.name;
        }
    }
    // The areas kept from starting are named in order.
    FakeSteps steps;
    steps.signResult = -1;
    RecordingProgress progress;
    RunDecorationJob({true, true, true, folder.Folder()}, steps, progress);
    EXPECT_EQ(ProgressLine(progress.messages.back()), "没有开始：主页面、分类。");
}

TEST(DecorationJobTest, AShopAnotherJobDecoratesIsLeftAlone) {
    FakeSteps steps;
    steps.holdShop = false;
    RecordingProgress progress;
    RunDecorationJob({true, true, true, "template/"}, steps, progress);
    EXPECT_EQ(Numbers(progress.messages), std::vector<int>{20520});
    EXPECT_TRUE(steps.calls.empty());
    // A shop that cannot be held at all is left alone too, saying why.
    steps.failureReason = "the lock file is not a regular file";
    RecordingProgress unheld;
    RunDecorationJob({true, true, true, "template/"}, steps, unheld);
    EXPECT_EQ(Numbers(unheld.messages), (std::vector<int>{20540, 20420}));
    EXPECT_EQ(unheld.messages.back().text, steps.failureReason);
    EXPECT_TRUE(steps.calls.empty());
}

TEST(DecorationJobTest, AFailedAreaIsFollowedByTheReasonItsResultCarries) {
    TempFolder folder;
    FakeSteps steps;
    steps.mainResult = 0;
    steps.failureReason = "saving the main page text: manage.kesto.example answered 502";
    RecordingProgress progress;
    RunDecorationJob({false, true, false, folder.Folder()}, steps, progress);
    ASSERT_EQ(Numbers(progress.messages), (std::vector<int>{20300, 20301, 20420}));
    EXPECT_EQ(progress.messages.back().text, steps.failureReason);
}

// The areas reach the job's context: the password page they meet is posted at once, between
// the area's start and end lines, and a request refused by the job's time bound fails the area
// even when the area itself reports success.
TEST(DecorationJobTest, TheAreasShareTheJobsContext) {
    TempFolder folder;
    {
        FakeSteps steps;
        steps.duringArea = [](JobContext& context) { context.transactionPasswordMet(); };
        RecordingProgress progress;
        RunDecorationJob({false, true, false, folder.Folder()}, steps, progress);
        EXPECT_EQ(Numbers(progress.messages), (std::vector<int>{20300, 20400, 20301, 20380}));
    }
    {
        FakeSteps steps;
        steps.duringArea = [](JobContext& context) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            RequestFailure failure;
            EXPECT_FALSE(context.timeBound.RequestMayStart(failure));
        };
        RecordingProgress progress;
        JobRequest request{false, true, true, folder.Folder()};
        request.timeBound = std::chrono::milliseconds(10);
        RunDecorationJob(request, steps, progress);
        ASSERT_EQ(Numbers(progress.messages), (std::vector<int>{20300, 20301, 20420, 20560}));
        EXPECT_EQ(progress.messages[1].result, -1);
        EXPECT_EQ(progress.messages[2].text, "the marketplace did not finish within 1 second");
    }
}

// The marketplace ending the login fails the area it ended in, whatever the area made of it,
// with the expired-login reason (after the area's own words when they do not say it), and no
// later area starts. A busy marketplace's wait is posted with its seconds.
TEST(DecorationJobTest, AnEndedLoginFailsItsAreaAndStartsNoOther) {
    TempFolder folder;
    const struct {
        int mainResult;
        std::string areaReason;
        std::string reason;
    } cases[] = {
        {1, "", kLoginExpiredReason},
        {-1, std::string("uploading a.jpg: ") + kLoginExpiredReason,
         std::string("uploading a.jpg: ") + kLoginExpiredReason},
        {-1, "removing the new module: no answer",
         std::string(kLoginExpiredReason) + " removing the new module: no answer"},
    };
    for (const auto& c : cases) {
        FakeSteps steps;
        steps.mainResult = c.mainResult;
        steps.failureReason = c.areaReason;
        steps.duringArea = [](JobContext& context) {
            context.rateLimitWaitMet(3);
            RequestFailure failure;
            context.loginWatch.NoteExpired(failure);
        };
        RecordingProgress progress;
        RunDecorationJob({false, true, true, folder.Folder()}, steps, progress);
        ASSERT_EQ(Numbers(progress.messages), (std::vector<int>{20300, 20580, 20301, 20420, 20560}))
            << c.reason;
        EXPECT_EQ(progress.messages[1].result, 3);
        EXPECT_LE(progress.messages[2].result, 0);
        EXPECT_EQ(progress.messages[3].text, c.reason);
        EXPECT_EQ(steps.calls.size(), 1u) << "the categories started";
    }
}

TEST(DecorationJobTest, BuildsAreaFoldersFromTheTemplatePath) {
    TempFolder folder;
    folder.Write("head/logo.txt", "x");
    folder.Write("head/banner.GIF", "x");
    const std::string withoutSeparator = folder.Folder().substr(0, folder.Folder().size() - 1);
    FakeSteps steps;
    RecordingProgress progress;
    RunDecorationJob({true, true, true, withoutSeparator}, steps, progress);
    // Every area folder lies inside the template folder, whether its path ends with a separator
    // or not.
    const std::string root = withoutSeparator + kPathSeparator;
    EXPECT_EQ(steps.calls,
              (std::vector<std::string>{"sign " + root + "head" + kPathSeparator + "banner.GIF",
                                        "main " + root + "main" + kPathSeparator,
                                        "class " + root + "class" + kPathSeparator}));
}

// The areas get the template as it was read before the check, whatever happens to the folder
// after it.
TEST(DecorationJobTest, AreasGetTheTemplateTheCheckSaw) {
    class CheckingSteps final : public DecorationSteps {
      public:
        explicit CheckingSteps(TempFolder& folder) : folder_(folder) {}
        std::vector<TemplateFinding> CheckTemplate(const JobRequest&,
                                                   const TemplateFolder& checked) override {
            checkedSign = checked.head.picture ? checked.head.picture->name : "";
            std::filesystem::remove_all(folder_.path() / "head");
            folder_.Write("main/later.jpg");
            return {};
        }
        AreaResult UpdateShopSign(JobContext&, const TemplateFile& picture) override {
            sign = picture.name;
            return {1, {}};
        }
        AreaResult UpdateMainPage(JobContext&, const MainFolder& mainFolder) override {
            mainPictures = mainFolder.pictures.size();
            return {1, {}};
        }
        AreaResult UpdateCategories(JobContext&, const ClassFolder&) override { return {1, {}}; }
        std::string UserNumber() override { return "10001"; }

        std::string checkedSign;
        std::string sign;
        std::size_t mainPictures = 0;

      private:
        TempFolder& folder_;
    };
    TempFolder folder;
    folder.Write("head/sign.gif", "x");
    folder.Write("main/a.jpg", "x");
    folder.Write("main/page.txt", "a.jpg");
    CheckingSteps steps(folder);
    RecordingProgress progress;
    RunDecorationJob({true, true, false, folder.Folder()}, steps, progress);
    EXPECT_EQ(steps.checkedSign, "sign.gif");
    EXPECT_EQ(steps.sign, "sign.gif");
    EXPECT_EQ(steps.mainPictures, 1u);
    EXPECT_EQ(Numbers(progress.messages), (std::vector<int>{20320, 20321, 20300, 20301, 20380}));
}

TEST(DecorationJobTest, MissingShopSignPictureIsReportedAndTheJobGoesOn) {
    TempFolder folder;
    folder.Write("head/sign.old.jpg", "x");
    FakeSteps steps;
    RecordingProgress progress;
    RunDecorationJob({true, true, false, folder.Folder()}, steps, progress);
    EXPECT_EQ(Numbers(progress.messages), (std::vector<int>{20360, 20300, 20301, 20380}));
}

TEST(DecorationJobTest, CompletionCarriesTheShopFrontOrAnEmptyAddress) {
    TempFolder folder;
    for (const std::string user : {"10001", ""}) {
        FakeSteps steps;
        steps.userNumber = user;
        RecordingProgress progress;
        RunDecorationJob({false, false, false, folder.Folder()}, steps, progress);
        ASSERT_EQ(progress.messages.size(), 1u);
        const std::string& address = progress.messages[0].text;
        if (user.empty()) {
            EXPECT_EQ(address, "");
        } else {
            EXPECT_EQ(address.rfind("http://shop.kesto.example/10001?t=", 0), 0u) << address;
            const int number = std::stoi(address.substr(address.find("?t=") + 3));
            EXPECT_GE(number, 0);
            EXPECT_LE(number, 32767);
        }
    }
}

}  // namespace
}  // namespace kesto
