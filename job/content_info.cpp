#include "job/content_info.h"

#include <algorithm>

#include "market/transaction_password.h"

namespace kesto {

ShopData ExtractShopData(std::string_view answer) {
    if (answer.empty()) {
        return {-1, {}, false};
    }
    if (IsTransactionPasswordPage(answer)) {
        return {0, {}, true};
    }
    std::string lower(answer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const std::size_t start = lower.find("shopdata=");
    if (start == std::string::npos) {
        return {0, {}, false};
    }
    const std::size_t end = lower.find("</script>", start);
    if (end == std::string::npos) {
        return {2, lower.substr(start), false};
    }
    return {1, lower.substr(start, end - start), false};
}

}  // namespace kesto
