#include "market/transaction_password.h"

namespace kesto {

bool IsTransactionPasswordPage(std::string_view page) {
    return page.find("交易密码验证") != std::string_view::npos &&
           page.find("请输入交易密码") != std::string_view::npos;
}

}  // namespace kesto
