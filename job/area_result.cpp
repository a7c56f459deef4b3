#include "job/area_result.h"

#include <utility>

#include "market/job_context.h"
#include "market/password_request.h"

namespace kesto {

AreaResult AreaEnd(int code, std::string failure, const JobContext& context) {
    if (code <= 0 && failure.empty()) {
        failure = context.transactionPasswordPage ? std::string(kTransactionPasswordReason)
                                                  : context.lastFailure.reason;
    }
    return {code, std::move(failure)};
}

}  // namespace kesto
