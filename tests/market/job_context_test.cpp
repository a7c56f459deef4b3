#include "market/job_context.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace kesto {
namespace {

using namespace std::chrono_literals;

// What a context beside the job's met comes back into the job's: nothing a request beside it
// learnt about the login, the bound or the password page is lost.
TEST(JobContextTest, WhatASideContextMetFoldsBackIntoTheJobs) {
    const struct {
        const char* name;
        std::function<void(JobContext&)> meet;  // on the side context
        bool failed;
        std::function<bool(JobContext&)> jobShows;
    } cases[] = {
        {"an ended login", [](JobContext& side) { side.loginWatch.NoteExpired(side.lastFailure); },
         true,
         [](JobContext& job) {
             return job.loginWatch.LoginExpired() && job.lastFailure.reason == kLoginExpiredReason;
         }},
        {"a missed bound",
         [](JobContext& side) {
             std::this_thread::sleep_for(60ms);
             side.timeBound.RequestMayStart(side.lastFailure);
         },
         true, [](JobContext& job) { return job.timeBound.TimeBoundMissed(); }},
        {"the room made for an upload",
         [](JobContext& side) { side.timeBound.AllowTimeForUpload(16 * 1024); }, false,
         [](JobContext& job) {
             std::this_thread::sleep_for(80ms);  // past the bound, within the room
             RequestFailure failure;
             return job.timeBound.RequestMayStart(failure);
         }},
        {"the password page", [](JobContext& side) { side.transactionPasswordPage = true; }, false,
         [](JobContext& job) { return job.transactionPasswordPage; }},
        {"a failure of an upload that succeeded later",
         [](JobContext& side) { side.lastFailure = {"first attempt refused"}; }, false,
         [](JobContext& job) { return job.lastFailure.reason.empty(); }},
    };
    for (const auto& c : cases) {
        JobContext job;
        job.timeBound = RequestTimeBound(50ms);
        job.loginWatch.Start();
        JobContext side;
        StartBeside(job, side);
        c.meet(side);
        FoldBack(job, side, c.failed);
        EXPECT_TRUE(c.jobShows(job)) << c.name;
    }
}

}  // namespace
}  // namespace kesto
