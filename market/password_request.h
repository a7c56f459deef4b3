#pragma once
// The marketplace's demand for the transaction password, met in the answer of any request a job
// makes: the dialog is told (message 2040, which opens the password browser) and the job's
// session records why the area fails.

#include <string_view>

namespace kesto {

struct ShopSession;

// The reason an area fails with when the marketplace asks for the transaction password.
inline constexpr char kTransactionPasswordReason[] =
    "the marketplace asks for the transaction password: enter it in the window that opened, "
    "then upload again";

// Whether answer is the transaction-password page; if it is, posts 2040 to the session's sink
// and sets the session's failure.
bool MeetsTransactionPassword(ShopSession& session, std::string_view answer);

}  // namespace kesto
