#include "job/area_result.h"

#include <utility>

#include "market/job_context.h"
#include "market/password_request.h"

namespace kesto {

std::string ReasonCode(const std::string& reason, const JobContext& context) {
    if (reason.empty()) {
        return "no-reason";
    }
    if (reason.find(TransactionPasswordReason()) != std::string::npos) {
        return "transaction-password";
    }
    for (const RequestFailure* cause : {&context.lastFailure, &context.stepCause}) {
        if (!cause->code.empty() && !cause->reason.empty() &&
            reason.find(cause->reason) != std::string::npos) {
            return cause->code;
        }
    }
    return "step-failed";
}

std::string StepCause(JobContext& context, const char* code, std::string text) {
    context.stepCause = {text, false, code};
    return text;
}

AreaResult AreaEnd(int code, std::string failure, const JobContext& context) {
    if (code <= 0 && failure.empty()) {
        failure = context.transactionPasswordPage ? TransactionPasswordReason()
                                                  : context.lastFailure.reason;
    }
    std::string reasonCode = code > 0 ? std::string() : ReasonCode(failure, context);
    return {code, std::move(failure), std::move(reasonCode)};
}

}  // namespace kesto
