#include "job/side_by_side_uploads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "market/job_context.h"
#include "market/shop_session.h"
#include "tests/common/recording_progress.h"

namespace kesto {
namespace {

// Uploads that wait where a case says, so that answers come in an order of the case's making.
struct Uploads {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::size_t> started;  // in the order start was called
    std::vector<std::size_t> finished;
    std::vector<std::string> results;  // by index, as an area keeps its addresses
    int atWork = 0;
    int mostAtWork = 0;

    bool Finished(std::size_t index) {
        return std::find(finished.begin(), finished.end(), index) != finished.end();
    }
};

TEST(SideBySideUploadsTest, KeepsTemplateOrderBoundsTheUploadsAndStopsAtAFailure) {
    const struct {
        const char* name;
        int parallel;
        std::size_t count;
        std::optional<std::size_t> failing;   // fails once the ones before it are at work
        std::optional<std::size_t> waitsFor;  // picture 0 answers only after this one
        std::size_t returned;
        std::size_t started;
    } cases[] = {
        {"one at a time", 1, 5, std::nullopt, std::nullopt, 5, 5},
        {"one at a time, third fails", 1, 5, 2, std::nullopt, 2, 3},
        {"four at once, first answers after the fourth", 4, 10, std::nullopt, 3, 10, 10},
        {"three at once, first answers last", 3, 3, std::nullopt, 2, 3, 3},
        {"more at once than pictures", 8, 3, std::nullopt, std::nullopt, 3, 3},
        {"three at once, third fails while two work", 3, 9, 2, std::nullopt, 2, 3},
        {"two at once, second fails while the first works", 2, 6, 1, std::nullopt, 1, 2},
    };
    for (const auto& c : cases) {
        ShopSession session;
        auto progress = std::make_shared<testing::RecordingProgress>();
        session.progress = progress;
        session.parallelUploads = c.parallel;
        session.albumReady = true;
        session.uploadAddress = "ready";
        Uploads uploads;
        uploads.results.resize(c.count);
        SideBySideUploads side(session);
        const std::size_t returned = side.Run(c.count, [&](std::size_t i) -> PictureWork {
            {
                const std::lock_guard held(uploads.lock);
                uploads.started.push_back(i);
            }
            return [&, i](JobContext& context) {
                std::unique_lock held(uploads.lock);
                uploads.mostAtWork = std::max(uploads.mostAtWork, ++uploads.atWork);
                const bool fails = c.failing == i;
                if (c.parallel > 1 && c.failing && i < *c.failing) {
                    // Still at work when the failing one fails, and a while after, so that its
                    // failure is known before a place for another picture comes free.
                    uploads.changed.wait(held, [&] { return uploads.Finished(*c.failing); });
                    held.unlock();
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    held.lock();
                }
                if (i == 0 && c.waitsFor) {
                    uploads.changed.wait(held, [&] { return uploads.Finished(*c.waitsFor); });
                }
                if (fails) {
                    context.lastFailure = {"picture " + std::to_string(i) + " refused"};
                } else {
                    uploads.results[i] = "address " + std::to_string(i);
                }
                uploads.finished.push_back(i);
                --uploads.atWork;
                uploads.changed.notify_all();
                held.unlock();
                side.PostPictureDone(static_cast<int>(c.count), std::to_string(i));
                return !fails;
            };
        });
        EXPECT_EQ(returned, c.returned) << c.name;
        EXPECT_EQ(uploads.started.size(), c.started) << c.name;
        EXPECT_TRUE(std::is_sorted(uploads.started.begin(), uploads.started.end())) << c.name;
        EXPECT_LE(uploads.mostAtWork, c.parallel) << c.name;
        EXPECT_EQ(uploads.finished.size(), uploads.started.size()) << c.name << ": all finish";
        for (std::size_t i = 0; i < c.started; ++i) {
            const std::string expected = c.failing == i ? "" : "address " + std::to_string(i);
            EXPECT_EQ(uploads.results[i], expected) << c.name;
        }
        if (c.waitsFor) {
            EXPECT_NE(uploads.finished.front(), 0u) << c.name << ": answers out of order";
        }
        EXPECT_EQ(session.context().lastFailure.reason,
                  c.failing ? "picture " + std::to_string(*c.failing) + " refused" : "")
            << c.name;
        // Every finished picture is counted once, in the order they finished.
        ASSERT_EQ(progress->messages.size(), uploads.finished.size()) << c.name;
        for (std::size_t i = 0; i < progress->messages.size(); ++i) {
            EXPECT_EQ(progress->messages[i].stage, static_cast<int>(i) + 1) << c.name;
        }
    }
}

}  // namespace
}  // namespace kesto
