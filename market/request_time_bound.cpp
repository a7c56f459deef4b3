#include "market/request_time_bound.h"

#include <algorithm>

#include "platform/net_layer.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

using Clock = std::chrono::steady_clock;

// Timers of some systems fire up to a clock tick before the time they were set for; a request
// that failed this close to the deadline failed because of it.
constexpr std::chrono::milliseconds kTimerSlack{100};

}  // namespace

RequestTimeBound::RequestTimeBound(std::chrono::milliseconds bound)
    : deadline_(Clock::now() + bound), bound_(bound) {}

bool RequestTimeBound::TimeIsUp(std::chrono::milliseconds slack) const {
    return deadline_ && Clock::now() + slack >= *deadline_;
}

void RequestTimeBound::NoteMissed(RequestFailure& failure) {
    missed_ = true;
    failure = {DescribeMissedTimeBound(bound_), false, "time-bound"};
}

TimeBoundGrace::TimeBoundGrace(RequestTimeBound& bound, std::chrono::milliseconds grace)
    : bound_(bound), previousDeadline_(bound.deadline_), previousMissed_(bound.missed_) {
    if (bound_.deadline_) {
        bound_.deadline_ = std::max(*bound_.deadline_, Clock::now() + grace);
        bound_.missed_ = false;
    }
}

TimeBoundGrace::~TimeBoundGrace() {
    if (previousDeadline_) {
        bound_.missed_ = previousMissed_ || bound_.missed_ || Clock::now() >= *previousDeadline_;
        bound_.deadline_ = previousDeadline_;
    }
}

void RequestTimeBound::AllowTimeForUpload(std::uint64_t bytes) {
    // A bound already run out stays run out: the room is for uploads still in time.
    if (deadline_ && !missed_ && !TimeIsUp(std::chrono::milliseconds(0))) {
        const std::chrono::milliseconds room(bytes * 1000 / kSlowestUploadBytesPerSecond);
        // The failure still names the bound the job set, which the README explains.
        *deadline_ += room;
        uploadRoom_ += room;
    }
}

RequestTimeBound RequestTimeBound::Beside() const {
    RequestTimeBound copy = *this;
    copy.uploadRoom_ = std::chrono::milliseconds(0);
    return copy;
}

void RequestTimeBound::FoldIn(const RequestTimeBound& beside) {
    missed_ = missed_ || beside.missed_;
    if (deadline_ && !missed_) {
        *deadline_ += beside.uploadRoom_;
        uploadRoom_ += beside.uploadRoom_;
    }
}

bool RequestTimeBound::RequestMayStart(RequestFailure& failure) {
    if (missed_ || TimeIsUp(std::chrono::milliseconds(0))) {
        NoteMissed(failure);
        return false;
    }
    return true;
}

bool RequestTimeBound::WaitFits(std::chrono::milliseconds wait, RequestFailure& failure) {
    if (missed_ || TimeIsUp(wait)) {
        NoteMissed(failure);
        return false;
    }
    return true;
}

void RequestTimeBound::LimitToTimeLeft(net::Request& request) const {
    if (deadline_) {
        request.LimitTime(std::chrono::ceil<std::chrono::milliseconds>(*deadline_ - Clock::now()));
    }
}

bool RequestTimeBound::BlameTimeBound(RequestFailure& failure) {
    if (TimeIsUp(kTimerSlack)) {
        NoteMissed(failure);
        return true;
    }
    return false;
}

std::string DescribeMissedTimeBound(std::chrono::milliseconds bound) {
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(bound);
    if (minutes.count() > 0 && minutes == bound) {
        return FillIn(minutes.count() == 1
                          ? Translate("the marketplace did not finish within {} minute")
                          : Translate("the marketplace did not finish within {} minutes"),
                      {std::to_string(minutes.count())});
    }
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(bound);
    return FillIn(seconds.count() == 1
                      ? Translate("the marketplace did not finish within {} second")
                      : Translate("the marketplace did not finish within {} seconds"),
                  {std::to_string(seconds.count())});
}

}  // namespace kesto
