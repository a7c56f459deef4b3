#include "app/job_messages.h"

namespace kesto {

void StartJobOnOwnThread(const JobRequest& request, const std::shared_ptr<JobMessageSink>& messages,
                         const DecorationStepsFactory& makeSteps) {
    StartDecorationJob(request, messages, makeSteps, [messages] { messages->PostJobEnded(); });
}

}  // namespace kesto
