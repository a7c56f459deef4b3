#pragma once
// What one decoration job's marketplace requests share, handed to every request explicitly
// (RequestOptions::context, Uploader::jobContext, the album calls): the bound on their time, the
// watch on the login (which also knows when the marketplace ended it), why the last of them
// failed, who is told when an answer is the marketplace's demand for the transaction password,
// and how a request waits when the marketplace is too busy to take it (market/rate_limit.h). A
// request without a context runs under the net layer's own time-outs and watches no login (tools,
// tests, planning a run).

#include <chrono>
#include <functional>
#include <thread>

#include "market/failure_reason.h"
#include "market/login_watch.h"
#include "market/request_time_bound.h"

namespace kesto {

struct JobContext {
    JobContext() = default;
    JobContext(const JobContext&) = delete;
    JobContext& operator=(const JobContext&) = delete;

    // None until the job sets one.
    RequestTimeBound timeBound;
    // Watching nothing until the job starts it.
    LoginWatch loginWatch;
    // Why the last request made with this context failed: cleared as each request starts, set
    // where it fails. The area operations read it right after a failed call.
    RequestFailure lastFailure;
    // The last cause a step of an area gave in its own words, with its code (job/area_result.h
    // StepCause), so that the area's reason carries a code where no request failed.
    RequestFailure stepCause;
    // Whether an answer was the transaction-password page since the job last cleared it.
    bool transactionPasswordPage = false;
    // Told each time an answer is the transaction-password page (the job opens the password
    // window); nobody when empty.
    std::function<void()> transactionPasswordMet;
    // Told before a request waits out a busy marketplace, with the whole seconds it waits (the
    // job posts a progress line); nobody when empty.
    std::function<void(int seconds)> rateLimitWaitMet;
    // Waits that long before a refused request goes again: on the calling thread, within the
    // job's time bound (a wait that would pass it is not begun). Tests put a recorder here.
    std::function<void(std::chrono::milliseconds)> rateLimitWait =
        [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); };
};

// Requests sent side by side (several picture uploads at once) cannot share one context: each
// goes with a context of its own made by StartBeside from the job's, and FoldBack takes what it
// met back into the job's, so that the job's view stays whole: a login that ended or changed, a
// missed time bound, the upload room, the transaction-password page. The caller keeps the job's
// context from changing while either runs (one lock around both). The callbacks are shared:
// they must be safe to call from several threads.
void StartBeside(const JobContext& job, JobContext& beside);
// Also makes the side context's last failure the job's when failed is true.
void FoldBack(JobContext& job, const JobContext& beside, bool failed);

}  // namespace kesto
