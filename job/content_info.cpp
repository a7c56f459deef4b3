#include "job/content_info.h"

#include <algorithm>

#include "market/transaction_password.h"
#include "support/ascii_text.h"

namespace kesto {

ShopData ExtractShopData(std::string_view answer) {
    if (answer.empty()) {
        return {-1, {}, false};
    }
    if (IsTransactionPasswordPage(answer)) {
        return {0, {}, true};
    }
    const std::string lower = AsciiLower(answer);
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
