#include "market/request_time_bound.h"

#include <algorithm>

#include "market/failure_reason.h"
#include "platform/net_layer.h"

namespace kesto {

namespace {

using Clock = std::chrono::steady_clock;

// Timers of some systems fire up to a clock tick before the time they were set for; a request
// that failed this close to the deadline failed because of it.
constexpr std::chrono::milliseconds kTimerSlack{100};

struct ThreadBound {
    std::optional<Clock::time_point> deadline;
    std::chrono::milliseconds bound{0};
    bool missed = false;
};

thread_local ThreadBound threadBound;

bool TimeIsUp(std::chrono::milliseconds slack) {
    return threadBound.deadline && Clock::now() + slack >= *threadBound.deadline;
}

void NoteMissed() {
    threadBound.missed = true;
    NoteRequestFailure(DescribeMissedTimeBound(threadBound.bound));
}

}  // namespace

RequestTimeBound::RequestTimeBound(std::chrono::milliseconds bound)
    : previousDeadline_(threadBound.deadline),
      previousBound_(threadBound.bound),
      previousMissed_(threadBound.missed) {
    threadBound = {Clock::now() + bound, bound, false};
}

RequestTimeBound::~RequestTimeBound() {
    threadBound = {previousDeadline_, previousBound_, previousMissed_};
}

TimeBoundGrace::TimeBoundGrace(std::chrono::milliseconds grace)
    : previousDeadline_(threadBound.deadline), previousMissed_(threadBound.missed) {
    if (threadBound.deadline) {
        threadBound.deadline = std::max(*threadBound.deadline, Clock::now() + grace);
        threadBound.missed = false;
    }
}

TimeBoundGrace::~TimeBoundGrace() {
    if (previousDeadline_) {
        threadBound.missed =
            previousMissed_ || threadBound.missed || Clock::now() >= *previousDeadline_;
        threadBound.deadline = previousDeadline_;
    }
}

void AllowTimeForUpload(std::uint64_t bytes) {
    // A bound already run out stays run out: the room is for uploads still in time.
    if (threadBound.deadline && !threadBound.missed && !TimeIsUp(std::chrono::milliseconds(0))) {
        const std::chrono::milliseconds room(bytes * 1000 / kSlowestUploadBytesPerSecond);
        // The failure still names the bound the job set, which the README explains.
        *threadBound.deadline += room;
    }
}

bool RequestMayStart() {
    if (threadBound.missed || TimeIsUp(std::chrono::milliseconds(0))) {
        NoteMissed();
        return false;
    }
    return true;
}

void LimitToTimeLeft(net::Request& request) {
    if (threadBound.deadline) {
        request.LimitTime(
            std::chrono::ceil<std::chrono::milliseconds>(*threadBound.deadline - Clock::now()));
    }
}

bool BlameTimeBound() {
    if (TimeIsUp(kTimerSlack)) {
        NoteMissed();
        return true;
    }
    return false;
}

bool TimeBoundMissed() {
    return threadBound.missed;
}

std::string DescribeMissedTimeBound(std::chrono::milliseconds bound) {
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(bound);
    if (minutes.count() > 0 && minutes == bound) {
        return "the marketplace did not finish within " + std::to_string(minutes.count()) +
               (minutes.count() == 1 ? " minute" : " minutes");
    }
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(bound);
    return "the marketplace did not finish within " + std::to_string(seconds.count()) +
           (seconds.count() == 1 ? " second" : " seconds");
}

}  // namespace kesto
