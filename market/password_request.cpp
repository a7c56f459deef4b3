#include "market/password_request.h"

#include "job/progress.h"
#include "market/shop_session.h"
#include "market/transaction_password.h"

namespace kesto {

bool MeetsTransactionPassword(ShopSession& session, std::string_view answer) {
    if (!IsTransactionPasswordPage(answer)) {
        return false;
    }
    session.Post({kTransactionPassword, 0, 0, {}});
    session.failure = kTransactionPasswordReason;
    return true;
}

}  // namespace kesto
