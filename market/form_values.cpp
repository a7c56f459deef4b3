#include "market/form_values.h"

#include "support/url_encode.h"

namespace kesto {

std::string EncodeFormValues(std::string_view text) {
    std::string encoded;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('&');
        const std::string_view token = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (token.empty()) {
            continue;
        }
        if (!first) {
            encoded += '&';
        }
        first = false;
        const std::size_t equals = token.find('=');
        if (equals == std::string_view::npos) {
            break;
        }
        encoded += token.substr(0, equals + 1);
        const std::string_view value = token.substr(equals + 1);
        if (!value.empty()) {
            encoded += UrlEncode(value);
        }
    }
    return encoded;
}

}  // namespace kesto
