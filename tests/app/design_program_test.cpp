#include "app/design_program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <thread>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kClosesAfterJob[] = "The program closes once the decoration has finished.";

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

// Logs in at once; a job runs runJob when the case gives one, on the program's job thread.
class FakeServices final : public DesignServices {
  public:
    using JobRunner = std::function<void(const JobRequest&, std::shared_ptr<ProgressSink>)>;

    explicit FakeServices(std::atomic<int>& jobs, JobRunner runJob = nullptr)
        : jobs_(jobs), runJob_(std::move(runJob)) {}

    void OpenLoginBrowser() override {}
    bool CheckLogin() override { return true; }
    bool LoginBrowserOpen() const override { return false; }
    void OpenPasswordBrowser(const std::string& /*address*/) override {}
    bool OpenWithShell(const std::string& /*target*/) override { return true; }
    bool OpenShopFront(const std::string& /*address*/,
                       std::function<void()> /*notOpened*/) override {
        return true;
    }
    void RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) override {
        ++jobs_;
        if (runJob_) {
            runJob_(request, std::move(progress));
        }
    }

  private:
    std::atomic<int>& jobs_;
    JobRunner runJob_;
};

// The front end's channel; these cases deliver the job's end themselves.
class UnusedMessages final : public JobMessageSink {
  public:
    void Post(ProgressMessage /*message*/) override {}
    void PostJobEnded() override {}
};

// The front end's channel as the job's thread fills it, until the job's end.
class WaitingMessages final : public JobMessageSink {
  public:
    void Post(ProgressMessage message) override {
        const std::lock_guard guard(lock_);
        messages_.push_back(std::move(message));
    }
    void PostJobEnded() override {
        const std::lock_guard guard(lock_);
        ended_ = true;
        changed_.notify_all();
    }
    std::vector<ProgressMessage> WaitForEnd() {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return ended_; });
        return messages_;
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<ProgressMessage> messages_;
    bool ended_ = false;
};

class NoSteps final : public DecorationSteps {
  public:
    explicit NoSteps(bool throws) : throws_(throws) {}
    AreaResult UpdateShopSign(JobContext&, const TemplateFile&) override { return {1, {}}; }
    AreaResult UpdateMainPage(JobContext&, const MainFolder&) override {
        if (throws_) {
            throw std::bad_alloc();
        }
        return {1, {}};
    }
    AreaResult UpdateCategories(JobContext&, const ClassFolder&) override { return {1, {}}; }
    std::string UserNumber() override { return "7"; }

  private:
    bool throws_;
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
    void StartJob(DesignProgram& program,
                  std::shared_ptr<JobMessageSink> messages = std::make_shared<UnusedMessages>()) {
        program.OnInitDialog(window, std::move(messages));
        program.OnLogin();
        program.OnLoginTimer();
        program.OnUpload();
        window.lines.clear();
    }

    TempFolder root;
    FakeWindow window;
    std::atomic<int> jobs = 0;
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
    auto program = Program();
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
    EXPECT_TRUE(window.ends.empty());
    program.reset();  // the job's thread has run
    EXPECT_EQ(jobs, 1);
}

// No front end lets the program go while a job runs; if it went anyway, it waits for the job's
// thread to end before any object the job uses goes.
TEST_F(DesignProgramTest, TheProgramGoesOnlyAfterARunningJobsThreadHasEnded) {
    std::atomic<bool> jobFinished{false};
    auto program = Program(
        [&jobFinished](const JobRequest& /*request*/, std::shared_ptr<ProgressSink> /*progress*/) {
            std::this_thread::sleep_for(200ms);
            jobFinished = true;
        });
    StartJob(*program);
    program->OnDialogDestroyed();
    program.reset();
    EXPECT_TRUE(jobFinished);
    EXPECT_EQ(jobs, 1);
}

// A step that throws fails its area with a reason instead of ending the job silently, as does
// an exception no area caught; the job's end is reported after its last message either way.
TEST_F(DesignProgramTest, TheJobsThreadReportsTheJobsEndEvenWhenItThrows) {
    enum class Throws { kNothing, kAStep, kTheJob };
    for (const Throws throws : {Throws::kNothing, Throws::kAStep, Throws::kTheJob}) {
        const auto program =
            Program([throws](const JobRequest& request, std::shared_ptr<ProgressSink> progress) {
                if (throws == Throws::kTheJob) {
                    throw std::bad_alloc();
                }
                JobRequest mainPageOnly = request;
                mainPageOnly.shopSign = false;
                mainPageOnly.categories = false;
                NoSteps steps(throws == Throws::kAStep);
                RunDecorationJob(mainPageOnly, steps, *progress);
            });
        const auto messages = std::make_shared<WaitingMessages>();
        window.categories = true;  // every area ticked
        StartJob(*program, messages);
        const std::vector<ProgressMessage> posted = messages->WaitForEnd();
        if (throws == Throws::kTheJob) {
            ASSERT_EQ(posted.size(), 1u);
            EXPECT_EQ(posted[0].kind, kFailureReason);
            EXPECT_EQ(posted[0].text, "the decoration stopped on an unexpected error");
            continue;
        }
        ASSERT_EQ(posted.size(), 3u);
        EXPECT_EQ(posted[1].result > 0, throws == Throws::kNothing);
        EXPECT_EQ(posted[2].kind, throws == Throws::kAStep ? kFailureReason : kDecorationFinished);
        if (throws == Throws::kAStep) {
            EXPECT_NE(posted[2].text.find("unexpected error"), std::string::npos);
        }
    }
}

// Each job runs on the program's thread in turn; the next starts once the last has ended.
TEST_F(DesignProgramTest, JobsRunOneAfterAnother) {
    auto program = Program();
    const auto messages = std::make_shared<WaitingMessages>();
    StartJob(*program, messages);
    messages->WaitForEnd();
    program->OnJobEnded();
    ASSERT_FALSE(program->jobRunning());
    program->OnUpload();
    EXPECT_TRUE(program->jobRunning());
    program.reset();
    EXPECT_EQ(jobs, 2);
}

}  // namespace
}  // namespace kesto
