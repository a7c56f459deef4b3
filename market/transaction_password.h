#pragma once

#include <string_view>

namespace kesto {

// Whether a page is the service's demand for the transaction password: it holds both
// "交易密码验证" (transaction password check) and "请输入交易密码" (enter the transaction
// password).
bool IsTransactionPasswordPage(std::string_view page);

}  // namespace kesto
