#include "market/request_token.h"

#include <cstdint>

#include "support/utf16.h"

namespace kesto {

std::string GetRequestToken(std::string_view sessionKey) {
    if (sessionKey.empty()) {
        return {};
    }
    std::uint32_t hash = 5381;
    for (const char16_t unit : Utf8ToUtf16(sessionKey)) {
        hash = hash * 33u + unit;
    }
    return std::to_string(hash & 0x7FFFFFFFu);
}

}  // namespace kesto
