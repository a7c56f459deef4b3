#pragma once
// A bound on the time the calling thread's marketplace requests may take in all, so that a
// stalled marketplace cannot keep a job running without end. The job sets it on its thread; the
// request layer and the uploader consult it around every request: a request is given at most the
// time left (net::Request::LimitTime), none starts once the time is up, and a request that fails
// after the time ran out is put down to the bound ("the marketplace did not finish within 15
// minutes") rather than to the network. A thread without a bound keeps the net layer's own
// time-outs. Like the failure note, the bound is per thread, so jobs never share one.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kesto {

namespace net {
class Request;
}

// Bounds the calling thread's requests from its making on, for its life.
class RequestTimeBound {
  public:
    explicit RequestTimeBound(std::chrono::milliseconds bound);
    // The thread's earlier bound, if any, holds again.
    ~RequestTimeBound();
    RequestTimeBound(const RequestTimeBound&) = delete;
    RequestTimeBound& operator=(const RequestTimeBound&) = delete;

  private:
    std::optional<std::chrono::steady_clock::time_point> previousDeadline_;
    std::chrono::milliseconds previousBound_;
    bool previousMissed_;
};

// One more step past the calling thread's bound, for what keeps a shop whole once a change is
// half done (making again what a failed change took away): while it lives, requests may go on
// until at least grace from its making, and the bound counts as missed afterwards if its own
// time ran out meanwhile. Nothing without a bound.
class TimeBoundGrace {
  public:
    explicit TimeBoundGrace(std::chrono::milliseconds grace);
    ~TimeBoundGrace();
    TimeBoundGrace(const TimeBoundGrace&) = delete;
    TimeBoundGrace& operator=(const TimeBoundGrace&) = delete;

  private:
    std::optional<std::chrono::steady_clock::time_point> previousDeadline_;
    bool previousMissed_;
};

// The slowest upload a bound makes room for: 16 KiB a second (128 kbit/s), below the upstream
// of any broadband line.
inline constexpr std::uint64_t kSlowestUploadBytesPerSecond = 16 * 1024;

// Makes room in the calling thread's bound for sending bytes at the slowest upload rate, so that
// a large template on a slow line is not cut off by a bound meant for a stalled marketplace.
// Nothing without a bound.
void AllowTimeForUpload(std::uint64_t bytes);

// Before a request: true when it may start. False when the calling thread's time is up, or an
// earlier request was already put down to the bound; the failure is then noted
// (NoteRequestFailure) and the bound counts as missed.
bool RequestMayStart();

// Gives the request at most the calling thread's time left; nothing without a bound.
void LimitToTimeLeft(net::Request& request);

// After a request failed or while its answer is read: true when the calling thread's time is
// up, which is then noted as the failure's reason and counts as missing the bound.
bool BlameTimeBound();

// Whether a request of the calling thread was refused or cut short by its bound.
bool TimeBoundMissed();

// "the marketplace did not finish within 15 minutes" (or seconds, for a bound of less than a
// whole number of minutes).
std::string DescribeMissedTimeBound(std::chrono::milliseconds bound);

}  // namespace kesto
