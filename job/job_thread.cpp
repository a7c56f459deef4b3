#include "job/job_thread.h"

#include <thread>

namespace kesto {

void StartDecorationJob(JobRequest request, std::shared_ptr<ProgressSink> sink,
                        DecorationStepsFactory makeSteps, std::function<void()> onEnded) {
    std::thread([request = std::move(request), sink = std::move(sink),
                 makeSteps = std::move(makeSteps), onEnded = std::move(onEnded)] {
        try {
            const std::unique_ptr<DecorationSteps> steps = makeSteps(sink);
            RunDecorationJob(request, *steps, *sink);
        } catch (...) {
            // Out of memory while building the steps, or in a post between areas: the job ends
            // without its completion message, as after a failed area, and says so.
            try {
                sink->Post({kFailureReason, 0, 0, "the decoration stopped on an unexpected error"});
            } catch (...) {
            }
        }
        if (onEnded) {
            onEnded();
        }
    }).detach();
}

}  // namespace kesto
