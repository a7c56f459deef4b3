#pragma once
// Starting a decoration job on a thread of its own, as the front ends do on Upload.

#include <functional>
#include <memory>

#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

// Makes the area steps of one job; they report through the given sink, which they may keep.
using DecorationStepsFactory =
    std::function<std::unique_ptr<DecorationSteps>(std::shared_ptr<ProgressSink>)>;

// Runs the job on a new, detached thread. The sink is shared with the thread, so it outlives a
// dialog that closes while the job runs. onEnded runs on the job's thread after the job's last
// message, however the job ended (an exception from the steps ends it too).
void StartDecorationJob(JobRequest request, std::shared_ptr<ProgressSink> sink,
                        DecorationStepsFactory makeSteps, std::function<void()> onEnded);

}  // namespace kesto
