#include "app/design_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "support/file_path.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
using Lines = std::vector<std::string>;

// The window and the services in one fake, so that the cases read what either saw.
class FakeView final : public DesignDialogView, public DesignServices {
  public:
    void AddTemplate(const std::string& name) override { templates.push_back(name); }
    void SelectTemplate(int index) override { selected = index; }
    int SelectedTemplate() const override { return selected; }
    void SetAreaChecked(Area area, bool checked) override { areas[area] = checked; }
    bool IsAreaChecked(Area area) const override { return areas.at(area); }
    void EnableUpload(bool enabled) override { uploadEnabled = enabled; }
    void AddProgressLine(const std::string& line) override { lines.push_back(line); }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ":" + text);
        return answer;
    }
    void StartLoginTimer(unsigned /*periodMilliseconds*/) override { timerRunning = true; }
    void StopLoginTimer() override { timerRunning = false; }
    void End(int /*code*/) override {}

    bool OpenWithShell(const std::string& target) override {
        opened.push_back(target);
        return programsStart;
    }
    bool OpenShopFront(const std::string& address, std::function<void()> notOpened) override {
        shopFronts.push_back(address);
        shopFrontNotOpened = std::move(notOpened);
        return programsStart;
    }
    void OpenLoginBrowser() override {
        ++loginBrowserOpened;
        loginWindowOpen = true;
    }
    void OpenPasswordBrowser(const std::string& address) override {
        passwordBrowser.push_back(address);
    }
    // As the real check, a complete login closes the login window.
    bool CheckLogin() override {
        ++loginChecks;
        if (loginComplete) {
            loginWindowOpen = false;
        }
        return loginComplete;
    }
    bool LoginBrowserOpen() const override { return loginWindowOpen; }
    // The dialog hands its jobs to the program, which runs them on its own thread.
    void RunJob(const JobRequest& /*request*/,
                std::shared_ptr<ProgressSink> /*progress*/) override {
        ADD_FAILURE() << "the dialog ran a job itself";
    }
    int ParallelUploads(std::string& problem) override {
        problem = settingProblem;
        return parallel;
    }

    Lines templates;
    int selected = -1;
    std::map<Area, bool> areas;
    bool uploadEnabled = true;
    Lines lines;
    Lines questions;
    bool answer = true;
    bool programsStart = true;  // whether the user's default programs open what they are given
    Lines opened;
    Lines shopFronts;
    std::function<void()> shopFrontNotOpened;  // the last opening's, as the platform keeps it
    int loginBrowserOpened = 0;
    Lines passwordBrowser;
    bool timerRunning = false;
    bool loginComplete = false;
    int loginChecks = 0;
    bool loginWindowOpen = false;
    int parallel = 1;  // the setting's uploads at once
    std::string settingProblem;
    std::vector<JobRequest> jobs;  // the jobs Upload asked for
};

constexpr unsigned kPollMilliseconds = 2000;

void Upload(DesignDialog& dialog, FakeView& view) {
    if (std::optional<JobRequest> job = dialog.OnUpload()) {
        view.jobs.push_back(std::move(*job));
    }
}

class DesignDialogTest : public ::testing::Test {
  protected:
    DesignDialogTest() {
        root.Write("a/cover.JPG", "x");
        root.Write("a/a.b.gif", "x");
        root.Write("b/readme.txt", "x");
        root.Write("loose.jpg", "x");
        root.Write(".hidden/x.jpg", "x");
        dialog.OnInit({root.Folder()});
    }

    void LogIn() {
        dialog.OnLogin();
        view.loginComplete = true;
        dialog.OnLoginTimer();
        view.lines.clear();
    }
    void SelectTemplate(const std::string& name) {
        const auto found = std::find(view.templates.begin(), view.templates.end(), name);
        view.selected = static_cast<int>(found - view.templates.begin());
    }

    TempFolder root;
    FakeView view;
    DesignDialog dialog{view, view, kPollMilliseconds};
};

TEST_F(DesignDialogTest, InitListsTemplateFoldersSelectsTheFirstAndTicksAllAreas) {
    Lines sorted = view.templates;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Lines{"a", "b"}));
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(dialog.templatePaths()[0], root.Folder() + view.templates[0] + kPathSeparator);
    EXPECT_TRUE(view.areas[Area::ShopSign] && view.areas[Area::MainPage] &&
                view.areas[Area::Categories]);
    EXPECT_FALSE(view.uploadEnabled);
}

TEST_F(DesignDialogTest, LoginPollAddsAWaitingLineEverySecondFailureThenLogsIn) {
    dialog.OnLogin();
    EXPECT_EQ(view.loginBrowserOpened, 1);
    EXPECT_TRUE(view.timerRunning);
    for (int poll = 0; poll < 5; ++poll) {
        dialog.OnLoginTimer();
    }
    EXPECT_EQ(view.lines, (Lines{"正在登录...", "正在登录..."}));
    EXPECT_FALSE(view.uploadEnabled);
    view.loginComplete = true;
    dialog.OnLoginTimer();
    EXPECT_EQ(view.lines.back(), "已登录.");
    EXPECT_TRUE(view.uploadEnabled);
    EXPECT_FALSE(view.timerRunning);
}

constexpr char kWaitingLine[] = "正在登录...";
constexpr char kNotCompletedLine[] =
    "The login has not completed: check the network or proxy settings, or close the login window "
    "and try again.";

// A login that never completes says so once, at the first poll two minutes after Login (the
// waiting line every second poll before), then polls on quietly until it completes.
TEST_F(DesignDialogTest, ALoginThatDoesNotCompleteSaysSoOnceAfterTwoMinutes) {
    const struct {
        unsigned period;
        int notCompletedAtPoll;
    } cases[] = {{2000, 60}, {7000, 18}, {200000, 1}};
    for (const auto& c : cases) {
        FakeView one;
        DesignDialog login(one, one, c.period);
        login.OnLogin();
        for (int poll = 0; poll < c.notCompletedAtPoll + 100; ++poll) {
            login.OnLoginTimer();
        }
        Lines expected(static_cast<std::size_t>((c.notCompletedAtPoll - 1) / 2), kWaitingLine);
        expected.push_back(kNotCompletedLine);
        EXPECT_EQ(one.lines, expected) << c.period;
        one.loginComplete = true;
        login.OnLoginTimer();
        EXPECT_EQ(one.lines.back(), "已登录.") << c.period;
        EXPECT_EQ(one.loginChecks, c.notCompletedAtPoll + 101) << c.period;
    }
}

// The login window closed before the poll saw a complete login ends the poll with one line (a
// login completed as it closed still counts); Login again polls afresh, two minutes and all.
TEST_F(DesignDialogTest, ClosingTheLoginWindowEndsThePollAndLoginStartsAFreshOne) {
    for (const bool completedAsItClosed : {false, true}) {
        FakeView one;
        DesignDialog login(one, one, kPollMilliseconds);
        login.OnInit({});
        login.OnLogin();
        for (int poll = 0; poll < 59; ++poll) {
            login.OnLoginTimer();
        }
        one.loginWindowOpen = false;
        one.loginComplete = completedAsItClosed;
        login.OnLoginTimer();
        login.OnLoginTimer();  // a tick queued before the timer stopped
        EXPECT_EQ(one.lines.back(),
                  completedAsItClosed
                      ? "已登录."
                      : "The login window was closed: press 登录 (Login) to log in again.");
        EXPECT_EQ(one.lines.size(), 30u);
        EXPECT_EQ(one.loginChecks, 60);
        EXPECT_FALSE(one.timerRunning);
        EXPECT_EQ(one.uploadEnabled, completedAsItClosed);

        one.lines.clear();
        one.loginComplete = false;
        login.OnLogin();
        for (int poll = 0; poll < 60; ++poll) {
            login.OnLoginTimer();
        }
        EXPECT_EQ(one.lines.size(), 30u);
        EXPECT_EQ(one.lines.back(), kNotCompletedLine);
    }
}

TEST_F(DesignDialogTest, CategoriesWarningIsAskedOnceAndNoDropsTheCategories) {
    LogIn();
    view.answer = false;
    Upload(dialog, view);
    ASSERT_EQ(view.jobs.size(), 1u);
    EXPECT_EQ(view.questions, (Lines{"提示:装修会删除现在的所有分类，是否继续?"}));
    EXPECT_FALSE(view.jobs[0].categories);
    EXPECT_TRUE(view.jobs[0].shopSign && view.jobs[0].mainPage);
    EXPECT_FALSE(view.areas[Area::Categories]);

    dialog.OnJobEnded();
    view.areas[Area::Categories] = true;
    Upload(dialog, view);
    ASSERT_EQ(view.jobs.size(), 2u);
    EXPECT_EQ(view.questions.size(), 1u);
    EXPECT_TRUE(view.jobs[1].categories);
}

TEST_F(DesignDialogTest, OneJobAtATime) {
    LogIn();
    for (const Area area : {Area::ShopSign, Area::MainPage, Area::Categories}) {
        view.areas[area] = false;
    }
    Upload(dialog, view);
    EXPECT_FALSE(view.uploadEnabled);
    Upload(dialog, view);
    EXPECT_EQ(view.jobs.size(), 1u);  // no area ticked still runs a job, but only one
    EXPECT_EQ(view.jobs[0].templatePath, dialog.templatePaths()[0]);
    dialog.OnJobEnded();
    EXPECT_TRUE(view.uploadEnabled);
    Upload(dialog, view);
    EXPECT_EQ(view.jobs.size(), 2u);
}

// A dialog of its own for one case of a table, logged in once. Made inside the fixture, whose
// capture takes the folder listing's lines.
struct LoggedInDialog {
    explicit LoggedInDialog(const std::string& templateRoot) {
        dialog.OnInit({templateRoot});
        dialog.OnLogin();
        view.loginComplete = true;
        dialog.OnLoginTimer();
    }
    FakeView view;
    DesignDialog dialog{view, view, kPollMilliseconds};
};

// A job's requests carry the cookies of the process's one store, which the login browser's pages
// change: no login may be checked or begun while a job runs, whenever the user tries.
TEST_F(DesignDialogTest, ASecondLoginNeverReachesARunningJob) {
    const struct {
        const char* name;
        bool loginBegunBeforeJob;  // Login pressed again and its window closed, unfinished
        void (DesignDialog::*during)();
        Lines lines;
    } cases[] = {
        {"Login pressed",
         false,
         &DesignDialog::OnLogin,
         {"Decorating: log in again once the decoration has finished."}},
        {"poll of an earlier Login", true, &DesignDialog::OnLoginTimer, {}},
    };
    for (const auto& c : cases) {
        LoggedInDialog one(root.Folder());
        if (c.loginBegunBeforeJob) {
            one.view.loginComplete = false;
            one.dialog.OnLogin();
            one.view.loginWindowOpen = false;
        }
        Upload(one.dialog, one.view);
        ASSERT_EQ(one.view.jobs.size(), 1u) << c.name;
        const int opened = one.view.loginBrowserOpened;
        const int checks = one.view.loginChecks;
        one.view.lines.clear();

        one.view.loginComplete = true;  // another account's login would now be complete
        (one.dialog.*c.during)();
        EXPECT_EQ(one.view.loginBrowserOpened, opened) << c.name;
        EXPECT_EQ(one.view.loginChecks, checks) << c.name;
        EXPECT_EQ(one.view.lines, c.lines) << c.name;

        one.dialog.OnJobEnded();
        (one.dialog.*c.during)();  // after the job, the login goes on as before
        EXPECT_EQ(one.view.loginBrowserOpened + one.view.loginChecks, opened + checks + 1)
            << c.name;
    }
}

// Nor does a job start beside a login: while the login window is open Upload is refused, and a
// login completed just before its window closed is taken before the job starts.
// The job takes the setting's uploads at once; a setting that cannot be read is named in the list
// before the job sends one picture after another.
TEST_F(DesignDialogTest, TheJobTakesTheParallelSettingAndABadOneIsNamed) {
    const struct {
        int parallel;
        const char* problem;
        Lines lines;
    } cases[] = {
        {4, "", {}},
        {1,
         "f: parallel takes a count from 1 to 8 (line 1)",
         {"The settings are wrong, so the pictures upload one at a time: f: parallel takes a count "
          "from 1 to 8 (line 1)"}},
    };
    LogIn();
    for (const auto& c : cases) {
        view.parallel = c.parallel;
        view.settingProblem = c.problem;
        view.lines.clear();
        Upload(dialog, view);
        ASSERT_FALSE(view.jobs.empty());
        EXPECT_EQ(view.jobs.back().parallelUploads, c.parallel);
        EXPECT_EQ(view.lines, c.lines);
        dialog.OnJobEnded();
    }
}

TEST_F(DesignDialogTest, UploadWaitsForTheLoginWindow) {
    const struct {
        const char* name;
        bool windowOpen;
        bool otherLoginComplete;
        std::size_t jobs;
        Lines lines;
    } cases[] = {
        {"window open", true, true, 0, {"Finish logging in, or close the login window, first."}},
        {"closed after a new login", false, true, 1, {"已登录."}},
        {"closed unfinished", false, false, 1, {}},
    };
    for (const auto& c : cases) {
        LoggedInDialog one(root.Folder());
        one.view.loginComplete = false;
        one.dialog.OnLogin();  // a second login, not yet seen by the poll
        one.view.lines.clear();

        one.view.loginWindowOpen = c.windowOpen;
        one.view.loginComplete = c.otherLoginComplete;
        Upload(one.dialog, one.view);
        EXPECT_EQ(one.view.jobs.size(), c.jobs) << c.name;
        EXPECT_EQ(one.view.lines, c.lines) << c.name;
        EXPECT_EQ(one.view.timerRunning, !c.otherLoginComplete || c.windowOpen) << c.name;
    }
}

TEST_F(DesignDialogTest, PreviewOpensTheFirstPictureByItsWholeExtension) {
    SelectTemplate("a");
    dialog.OnPreview();
    EXPECT_EQ(view.opened, (Lines{root.Folder() + "a" + kPathSeparator + "cover.JPG"}));
    SelectTemplate("b");
    dialog.OnPreview();
    EXPECT_EQ(view.opened.size(), 1u);
    EXPECT_EQ(view.lines, (Lines{"The template has no picture to preview."}));
}

// What the owner reads when no program opens the shop front or the preview picture.
TEST_F(DesignDialogTest, OpeningsThatFailAddALine) {
    view.programsStart = false;
    dialog.OnProgress({kDecorationFinished, 0, 0, "http://shop.kesto.example/10001?t=1"});
    SelectTemplate("a");
    dialog.OnPreview();
    const std::string picture = root.Folder() + "a" + kPathSeparator + "cover.JPG";
    EXPECT_EQ(view.lines,
              (Lines{"装修完成。", "Shop address: http://shop.kesto.example/10001?t=1",
                     "Could not open the shop front: open the address above in a browser.",
                     "Could not open the preview picture: " + picture}));
}

// A platform that opens the shop front on a thread of its own answers at once and reports a
// failure later, through the front end, which hands it back to the dialog on the window's thread.
TEST(DesignDialogLateOpeningTest, AShopFrontThatFailsToOpenLaterAddsTheSameLine) {
    FakeView view;
    int reported = 0;
    DesignDialog dialog(view, view, kPollMilliseconds, [&reported] { ++reported; });
    dialog.OnProgress({kDecorationFinished, 0, 0, "http://shop.kesto.example/10001?t=1"});
    EXPECT_EQ(view.lines.size(), 2u);  // the opening was started: no failure line yet
    ASSERT_TRUE(view.shopFrontNotOpened);
    view.shopFrontNotOpened();
    EXPECT_EQ(reported, 1);
    dialog.OnShopFrontNotOpened();
    EXPECT_EQ(view.lines,
              (Lines{"装修完成。", "Shop address: http://shop.kesto.example/10001?t=1",
                     "Could not open the shop front: open the address above in a browser."}));
}

TEST(DesignDialogEmptyTest, EmptyTemplateListMakesUploadAndPreviewDoNothing) {
    TempFolder root;
    FakeView view;
    DesignDialog dialog(view, view, kPollMilliseconds);
    dialog.OnInit({root.Folder() + "missing" + kPathSeparator});
    EXPECT_EQ(view.selected, -1);
    dialog.OnLogin();
    view.loginComplete = true;
    dialog.OnLoginTimer();
    Upload(dialog, view);
    dialog.OnPreview();
    EXPECT_TRUE(view.jobs.empty());
    EXPECT_TRUE(view.opened.empty());
}

TEST_F(DesignDialogTest, ProgressMessagesAddLinesAndOpenBrowsers) {
    dialog.OnProgress({kShopSignProgress, 0, 0, {}});
    dialog.OnProgress({kCustomContentSave, 0, 0, {}});
    dialog.OnProgress({kTransactionPassword, 0, 0, {}});
    dialog.OnProgress({kDecorationFinished, 0, 0, "http://shop.kesto.example/10001?t=1"});
    dialog.OnProgress({kDecorationFinished, 0, 0, ""});
    EXPECT_EQ(view.lines,
              (Lines{"正在更新店招...", "请输入交易密码后重新上传。", "装修完成。",
                     "Shop address: http://shop.kesto.example/10001?t=1", "装修完成。"}));
    EXPECT_EQ(view.passwordBrowser,
              (Lines{"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"}));
    // The shop front goes to the front end's own opener, never to the preview's.
    EXPECT_EQ(view.shopFronts, (Lines{"http://shop.kesto.example/10001?t=1"}));
    EXPECT_TRUE(view.opened.empty());
}

}  // namespace
}  // namespace kesto
