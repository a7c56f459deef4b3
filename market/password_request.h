#pragma once
// The marketplace's demand for the transaction password, met in the answer of any request a job
// makes: the job's context records it and tells the job, which posts message 2040 (the dialog
// opens the password browser).

#include <string>
#include <string_view>

#include "platform/translation.h"

namespace kesto {

struct JobContext;

// The reason an area fails with when the marketplace asks for the transaction password, in
// English; TransactionPasswordReason gives it in the user's language.
inline constexpr const char* kTransactionPasswordReason = TranslatedLater(
    "the marketplace asks for the transaction password: enter it in the window that opened, "
    "then upload again");

// kTransactionPasswordReason in the user's language.
std::string TransactionPasswordReason();

// Whether answer is the transaction-password page; if it is, the context records that
// (transactionPasswordPage) and calls its transactionPasswordMet.
bool MeetsTransactionPassword(JobContext& context, std::string_view answer);

}  // namespace kesto
