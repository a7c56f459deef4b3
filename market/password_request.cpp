#include "market/password_request.h"

#include "market/job_context.h"
#include "market/transaction_password.h"

namespace kesto {

std::string TransactionPasswordReason() {
    return Translate(kTransactionPasswordReason);
}

bool MeetsTransactionPassword(JobContext& context, std::string_view answer) {
    if (!IsTransactionPasswordPage(answer)) {
        return false;
    }
    context.transactionPasswordPage = true;
    if (context.transactionPasswordMet) {
        context.transactionPasswordMet();
    }
    return true;
}

}  // namespace kesto
