// Inputs that could hold a job for ever or fill memory: a FIFO given as the cookie file or put
// in a template, an oversized page text, and a marketplace that stalls. Each ends its job or its
// area promptly with a failure, and nothing of the bad input reaches the shop.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "job/decoration_job.h"
#include "job/marketplace_steps.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/common/temp_folder.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;
using testing::LoggedInMarket;

// A FIFO in place of a file. Should a reader block on opening it, a watchdog gives it a writer
// that closes at once (and keeps doing so), so that the reader that blocks fails the test instead
// of hanging it.
class WatchedFifo {
  public:
    explicit WatchedFifo(const std::filesystem::path& path) : path_(path) {
        std::filesystem::remove(path);
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
        watchdog_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            auto wait = std::chrono::seconds(10);
            while (!done_.wait_for(lock, wait, [this] { return finished_; })) {
                const int writer = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0) {
                    released_ = true;
                    close(writer);
                }
                wait = std::chrono::seconds(1);
            }
        });
    }
    ~WatchedFifo() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        watchdog_.join();
    }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    // Whether a reader blocked on the FIFO and had to be released.
    bool Released() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return released_;
    }

  private:
    std::filesystem::path path_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool released_ = false;
    std::thread watchdog_;
};

// A copy of a sample template that a test may spoil.
std::string CopyOfTemplate(const testing::TempFolder& folder, const char* name) {
    const std::filesystem::path copy = folder.path() / name;
    std::filesystem::copy(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / name, copy,
                          std::filesystem::copy_options::recursive);
    return PathToUtf8(copy) + kPathSeparator;
}

bool Contains(const Lines& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&part](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

Lines RunJob(const JobRequest& request) {
    auto progress = std::make_shared<testing::RecordingProgress>();
    const auto steps = MakeMarketplaceSteps(progress);
    RunDecorationJob(request, *steps, *progress);
    return progress->Lines();
}

bool Saved(LoggedInMarket& market, const std::string& endpoint) {
    return Contains(market.Requests(), endpoint);
}

TEST(BoundedInputsTest, FifoAsTheCookieFileIsRefusedAtOnce) {
    LoggedInMarket market;
    const testing::TempFolder folder;
    const WatchedFifo cookies(folder.path() / "cookies.txt");
    const std::string command =
        "http_proxy=http://127.0.0.1:" + std::to_string(market.market.port()) +
        " " KESTO_DECORATE " --template " KESTO_SOURCE_DIR "/template/ocean-blue --cookies " +
        folder.Folder() + "cookies.txt --areas sign </dev/null 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t read = 0; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, read);
    }
    const int status = pclose(pipe);
    EXPECT_FALSE(cookies.Released()) << "the cookie file blocked";
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2) << output;
    EXPECT_NE(output.find("cookies.txt is not a regular file"), std::string::npos) << output;
    EXPECT_TRUE(market.Requests().empty());
}

TEST(BoundedInputsTest, TemplateFilesThatAreNoRegularFilesOrTooLargeFailTheirArea) {
    const JobRequest mainPage{false, true, false, {}};
    const JobRequest shopSign{true, false, false, {}};
    const struct {
        const char* file;  // below the template; a FIFO unless content is given
        std::string content;
        JobRequest request;
        const char* doneLine;
        const char* saveEndpoint;  // the request that would have saved the area
    } cases[] = {
        {"main/content.txt", {}, mainPage, "主页面更新完成。", "moduleedit"},
        {"main/content.txt", std::string((1 << 20) + 1, 'x'), mainPage, "主页面更新完成。",
         "moduleedit"},
        {"main/top.jpg", {}, mainPage, "主页面更新完成。", "moduleedit"},
        {"head/sign.gif", {}, shopSign, "店招更新完成。", "picbanneredit"},
    };
    for (const auto& c : cases) {
        LoggedInMarket market;
        const Json::Value signBefore = market.Shop()["sign"];
        const testing::TempFolder folder;
        JobRequest request = c.request;
        request.templatePath = CopyOfTemplate(folder, "ocean-blue");
        const std::filesystem::path file = PathFromUtf8(request.templatePath + c.file);
        std::optional<WatchedFifo> fifo;
        if (c.content.empty()) {
            fifo.emplace(file);
        } else {
            folder.Write(std::string("ocean-blue/") + c.file, c.content);
        }
        const Lines lines = RunJob(request);
        EXPECT_FALSE(fifo && fifo->Released()) << c.file << " blocked the job";
        EXPECT_FALSE(Contains(lines, c.doneLine)) << c.file;
        EXPECT_FALSE(Contains(lines, "装修完成。")) << c.file;
        EXPECT_FALSE(Saved(market, c.saveEndpoint)) << c.file;
        EXPECT_EQ(market.Shop()["sign"], signBefore) << c.file;
    }
}

TEST(BoundedInputsTest, StalledMarketplaceFailsTheRunningAreaWhenTheJobsTimeIsUp) {
    const char* stalls[] = {"dirlist=stall:6", "UploadPicActivex=stall:6"};
    for (const char* stall : stalls) {
        LoggedInMarket market;
        const Json::Value categoriesBefore = market.Shop()["categories"];
        market.SetFault(stall);
        JobRequest request{false, true, true, KESTO_SOURCE_DIR "/template/ocean-blue/"};
        request.timeBound = std::chrono::seconds(2);
        const Clock::time_point start = Clock::now();
        const Lines lines = RunJob(request);
        // Well before the stall ends, let alone the net layer's 60 s without progress.
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << stall;
        EXPECT_TRUE(Contains(lines, "主页面更新失败。")) << stall;
        EXPECT_TRUE(Contains(lines, "the marketplace did not finish within 2 seconds")) << stall;
        EXPECT_FALSE(Contains(lines, "正在更新分类")) << stall << ": the next area started";
        EXPECT_FALSE(Saved(market, "moduleedit")) << stall;
        EXPECT_EQ(market.Shop()["categories"], categoriesBefore) << stall;
    }
}

}  // namespace
}  // namespace kesto
