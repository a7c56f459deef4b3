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
    int SaveShopLayout(bool, bool) override {
        if (throws_) {
            throw std::bad_alloc();
        }
        return 1;
    }
    int UpdateShopSign(const std::string&) override { return 1; }
    int UpdateMainPage(const std::string&) override { return 1; }
    int UpdateCategories(const std::string&) override { return 1; }
    std::string UserNumber() override { return "7"; }

  private:
    bool throws_;
};

TEST(JobThreadTest, RunsTheJobAndReportsItsEndEvenWhenAStepThrows) {
    for (const bool throws : {false, true}) {
        auto sink = std::make_shared<WaitingSink>();
        StartDecorationJob(
            JobRequest{}, sink,
            [throws](std::shared_ptr<ProgressSink>) { return std::make_unique<NoSteps>(throws); },
            [sink] { sink->End(); });
        const std::vector<ProgressMessage> messages = sink->WaitForEnd();
        EXPECT_EQ(messages.size(), throws ? 0u : 1u);
    }
}

}  // namespace
}  // namespace kesto
