#include "market/job_context.h"

namespace kesto {

void StartBeside(const JobContext& job, JobContext& beside) {
    beside.timeBound = job.timeBound.Beside();
    beside.loginWatch = job.loginWatch;
    beside.transactionPasswordPage = false;
    beside.transactionPasswordMet = job.transactionPasswordMet;
    beside.rateLimitWaitMet = job.rateLimitWaitMet;
    beside.rateLimitWait = job.rateLimitWait;
}

void FoldBack(JobContext& job, const JobContext& beside, bool failed) {
    job.timeBound.FoldIn(beside.timeBound);
    job.loginWatch.FoldIn(beside.loginWatch);
    job.transactionPasswordPage = job.transactionPasswordPage || beside.transactionPasswordPage;
    if (failed) {
        job.lastFailure = beside.lastFailure;
    }
}

}  // namespace kesto
