#include "job/job_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace kesto {
namespace {

class WaitingSink final : public ProgressSink {
  public:
    void Post(ProgressMessage message) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(std::move(message));
    }
    void End() {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    std::vector<ProgressMessage> WaitForEnd() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return ended_; });
        return messages_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ProgressMessage> messages_;
    bool ended_ = false;
};

class NoSteps final : public DecorationSteps {
  public:
    explicit NoSteps(bool throws) : throws_(throws) {}
    int SaveShopLayout(bool, bool) override { return 1; }
    int UpdateShopSign(const TemplateFile&) override { return 1; }
    int UpdateMainPage(const MainFolder&) override {
        if (throws_) {
            throw std::bad_alloc();
        }
        return 1;
    }
    int UpdateCategories(const ClassFolder&) override { return 1; }
    std::string UserNumber() override { return "7"; }

  private:
    bool throws_;
};

// A step that throws fails its area with a reason instead of ending the job silently, and the
// job's end is reported either way.
TEST(JobThreadTest, RunsTheJobAndReportsItsEndEvenWhenAStepThrows) {
    for (const bool throws : {false, true}) {
        auto sink = std::make_shared<WaitingSink>();
        JobRequest request;
        request.mainPage = true;
        StartDecorationJob(
            request, sink,
            [throws](std::shared_ptr<ProgressSink>) { return std::make_unique<NoSteps>(throws); },
            [sink] { sink->End(); });
        const std::vector<ProgressMessage> messages = sink->WaitForEnd();
        ASSERT_EQ(messages.size(), 3u);
        EXPECT_EQ(messages[1].result > 0, !throws);
        EXPECT_EQ(messages[2].number, throws ? kFailureReason : kDecorationFinished);
        if (throws) {
            EXPECT_NE(messages[2].text.find("unexpected error"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kesto
