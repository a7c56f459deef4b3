#pragma once
// A bound on the time a job's marketplace requests may take in all, so that a stalled marketplace
// cannot keep a job running without end. The job sets it in its context (market/job_context.h);
// the request layer and the uploader consult it around every request: a request is given at most
// the time left (net::Request::LimitTime), none starts once the time is up, and a request that
// fails after the time ran out is put down to the bound ("the marketplace did not finish within
// 15 minutes") rather than to the network. A context without a bound keeps the net layer's own
// time-outs.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "market/failure_reason.h"

namespace kesto {

namespace net {
class Request;
}

class RequestTimeBound {
  public:
    // No bound: the net layer's own time-outs.
    RequestTimeBound() = default;
    // Bounds the requests from its making on.
    explicit RequestTimeBound(std::chrono::milliseconds bound);

    // Before a request: true when it may start. False when the time is up, or an earlier request
    // was already put down to the bound; failure then says so and the bound counts as missed.
    bool RequestMayStart(RequestFailure& failure);

    // Gives the request at most the time left; nothing without a bound.
    void LimitToTimeLeft(net::Request& request) const;

    // After a request failed or while its answer is read: true when the time is up, which
    // failure then gives as the reason and which counts as missing the bound.
    bool BlameTimeBound(RequestFailure& failure);

    // Before waiting that long to send a request again: true when the wait ends before the time is
    // up. False otherwise, with failure saying so, and the bound counts as missed: the request
    // would not start after the wait.
    bool WaitFits(std::chrono::milliseconds wait, RequestFailure& failure);

    // Whether a request was refused or cut short by the bound.
    bool TimeBoundMissed() const { return missed_; }

    // Makes room in the bound for sending bytes at the slowest upload rate, so that a large
    // template on a slow line is not cut off by a bound meant for a stalled marketplace. Nothing
    // without a bound.
    void AllowTimeForUpload(std::uint64_t bytes);

    // A copy for requests sent beside others (market/job_context.h): the same deadline, with
    // none of this bound's upload room counted yet.
    RequestTimeBound Beside() const;
    // Takes back what a copy made by Beside met: the upload room it made, and a missed bound.
    void FoldIn(const RequestTimeBound& beside);

  private:
    friend class TimeBoundGrace;

    bool TimeIsUp(std::chrono::milliseconds slack) const;
    void NoteMissed(RequestFailure& failure);

    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::chrono::milliseconds bound_{0};
    // The room AllowTimeForUpload made since the bound was made (or copied by Beside).
    std::chrono::milliseconds uploadRoom_{0};
    bool missed_ = false;
};

// One more step past a bound, for what keeps a shop whole once a change is half done (making
// again what a failed change took away): while it lives, requests may go on until at least grace
// from its making, and the bound counts as missed afterwards if its own time ran out meanwhile.
// Nothing without a bound.
class TimeBoundGrace {
  public:
    TimeBoundGrace(RequestTimeBound& bound, std::chrono::milliseconds grace);
    ~TimeBoundGrace();
    TimeBoundGrace(const TimeBoundGrace&) = delete;
    TimeBoundGrace& operator=(const TimeBoundGrace&) = delete;

  private:
    RequestTimeBound& bound_;
    std::optional<std::chrono::steady_clock::time_point> previousDeadline_;
    bool previousMissed_;
};

// The slowest upload a bound makes room for: 16 KiB a second (128 kbit/s), below the upstream
// of any broadband line.
inline constexpr std::uint64_t kSlowestUploadBytesPerSecond = 16 * 1024;

// "the marketplace did not finish within 15 minutes" (or seconds, for a bound of less than a
// whole number of minutes).
std::string DescribeMissedTimeBound(std::chrono::milliseconds bound);

}  // namespace kesto
