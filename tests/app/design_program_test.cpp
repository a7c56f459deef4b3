#include "app/design_program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kClosesAfterJob[] = "装修完成后程序将自动关闭。";

class FakeWindow final : public DesignDialogView {
  public:
    void AddTemplate(const std::string& /*name*/) override { ++templates; }
    void SelectTemplate(int index) override { selected = index; }
    int SelectedTemplate() const override { return selected; }
    void SetAreaChecked(Area /*area*/, bool checked) override { categories = checked; }
    bool IsAreaChecked(Area /*area*/) const override { return categories; }
    void EnableUpload(bool enabled) override { uploadEnabled = enabled; }
    void AddProgressLine(const std::string& line) override { lines.push_back(line); }
    bool AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) override {
        return true;
    }
    void StartLoginTimer(unsigned periodMilliseconds) override { timerPeriod = periodMilliseconds; }
    void StopLoginTimer() override { timerPeriod = 0; }
    void End(int code) override { ends.push_back(code); }

    int templates = 0;
    int selected = -1;
    bool categories = false;
    bool uploadEnabled = false;
    Lines lines;
    unsigned timerPeriod = 0;
    std::vector<int> ends;
};

// Logs in at once and starts no thread unless the case gives runJob, which then runs on a
// thread of the services' own, joined when the services go.
class FakeServices final : public DesignServices {
  public:
    using JobRunner = std::function<void(std::shared_ptr<JobMessageSink>)>;

    explicit FakeServices(int& jobs, JobRunner runJob = nullptr)
        : jobs_(jobs), runJob_(std::move(runJob)) {}
    ~FakeServices() override {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    void OpenLoginBrowser() override {}
    bool CheckLogin() override { return true; }
    bool LoginBrowserOpen() const override { return false; }
    void OpenPasswordBrowser(const std::string& /*address*/) override {}
    bool OpenWithShell(const std::string& /*target*/) override { return true; }
    bool OpenShopFront(const std::string& /*address*/) override { return true; }
    void StartJob(const JobRequest& /*request*/,
                  std::shared_ptr<JobMessageSink> messages) override {
        ++jobs_;
        if (runJob_) {
            thread_ = std::thread(runJob_, std::move(messages));
        }
    }

  private:
    int& jobs_;
    JobRunner runJob_;
    std::thread thread_;
};

// The front end's channel; these cases deliver the job's end themselves.
class UnusedMessages final : public JobMessageSink {
  public:
    void Post(ProgressMessage /*message*/) override {}
    void PostJobEnded() override {}
};

class DesignProgramTest : public ::testing::Test {
  protected:
    DesignProgramTest() { root.Write("a/cover.jpg", "x"); }

    std::unique_ptr<DesignProgram> Program(FakeServices::JobRunner runJob = nullptr,
                                           unsigned pollMilliseconds = kLoginPollMilliseconds) {
        return std::make_unique<DesignProgram>(
            std::make_unique<FakeServices>(jobs, std::move(runJob)),
            DesignProgramSettings{{root.Folder()}, pollMilliseconds});
    }

    // Shows the window, logs in and starts a job.
    void StartJob(DesignProgram& program) {
        program.OnInitDialog(window, std::make_shared<UnusedMessages>());
        program.OnLogin();
        program.OnLoginTimer();
        program.OnUpload();
        window.lines.clear();
    }

    TempFolder root;
    FakeWindow window;
    int jobs = 0;
};

void Exit(DesignProgram& program) {
    program.OnExit();
}
void Close(DesignProgram& program) {
    program.OnClose();
}

struct EndRequest {
    const char* name;
    void (*request)(DesignProgram&);
    int code;
};

constexpr EndRequest kEndRequests[] = {
    {"Exit", &Exit, kEndedByExit},
    {"close", &Close, kEndedByClose},
};

TEST_F(DesignProgramTest, WithoutAJobExitAndCloseEndTheDialogAtOnce) {
    for (const EndRequest& end : kEndRequests) {
        window.ends.clear();
        const auto program = Program();
        program->OnInitDialog(window, std::make_shared<UnusedMessages>());
        end.request(*program);
        end.request(*program);  // the window is already going
        EXPECT_EQ(window.ends, std::vector<int>{end.code}) << end.name;
        EXPECT_TRUE(window.lines.empty()) << end.name;
    }
}

TEST_F(DesignProgramTest, WhileAJobRunsTheDialogEndsOnlyOnceTheJobHasEnded) {
    for (const EndRequest& first : kEndRequests) {
        for (const EndRequest& second : kEndRequests) {
            const std::string which = std::string(first.name) + " then " + second.name;
            window = FakeWindow();
            const auto program = Program();
            StartJob(*program);
            ASSERT_TRUE(program->jobRunning()) << which;

            first.request(*program);
            second.request(*program);
            EXPECT_TRUE(window.ends.empty()) << which;
            EXPECT_TRUE(program->endPending()) << which;
            // The job's messages still show; the line saying why the window stays shows once.
            program->OnProgress({kDecorationFinished, 0, 0, {}});
            EXPECT_EQ(window.lines, (Lines{kClosesAfterJob, "装修完成。"})) << which;

            program->OnJobEnded();
            EXPECT_EQ(window.ends, std::vector<int>{first.code}) << which;
            EXPECT_FALSE(program->endPending()) << which;
        }
    }
}

TEST_F(DesignProgramTest, AJobEndedBeforeAnyCloseRequestLeavesTheWindowOpen) {
    const auto program = Program();
    StartJob(*program);
    program->OnJobEnded();
    EXPECT_TRUE(window.ends.empty());
    EXPECT_TRUE(window.uploadEnabled);
    program->OnClose();
    EXPECT_EQ(window.ends, std::vector<int>{kEndedByClose});
}

TEST_F(DesignProgramTest, TheLoginTimerTakesTheProgramsPollPeriod) {
    for (const unsigned period : {kLoginPollMilliseconds, 10U}) {
        const auto program = Program(nullptr, period);
        program->OnInitDialog(window, std::make_shared<UnusedMessages>());
        program->OnLogin();
        EXPECT_EQ(window.timerPeriod, period);
    }
    EXPECT_EQ(kLoginPollMilliseconds, 2000U);
}

TEST_F(DesignProgramTest, WithoutAWindowTheEventsDoNothing) {
    const auto program = Program();
    program->OnLogin();
    program->OnUpload();
    program->OnExit();
    EXPECT_TRUE(program->templatePaths().empty());

    StartJob(*program);
    EXPECT_EQ(program->templatePaths().size(), 1U);
    program->OnDialogDestroyed();
    program->OnJobEnded();
    program->OnClose();
    program->OnUpload();
    EXPECT_EQ(jobs, 1);
    EXPECT_TRUE(window.ends.empty());
}

// No front end lets the program go while a job runs; if it went anyway, it waits for the job's
// thread to report the job's end before any object the job uses goes.
TEST_F(DesignProgramTest, TheProgramGoesOnlyAfterARunningJobsThreadHasEnded) {
    std::atomic<bool> jobFinished{false};
    auto program = Program([&jobFinished](std::shared_ptr<JobMessageSink> messages) {
        std::this_thread::sleep_for(200ms);
        jobFinished = true;
        messages->PostJobEnded();
    });
    StartJob(*program);
    ASSERT_EQ(jobs, 1);
    program->OnDialogDestroyed();
    program.reset();
    EXPECT_TRUE(jobFinished);
}

}  // namespace
}  // namespace kesto
