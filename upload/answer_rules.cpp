#include "upload/answer_rules.h"

#include <climits>
#include <cstdint>

#include "support/ascii_text.h"
#include "support/text_conversion.h"

namespace kesto {

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int ResultCodeRule(std::string_view answer) {
    constexpr std::string_view kMarker = "result=";
    const std::size_t marker = answer.find(kMarker);
    if (marker == std::string_view::npos) {
        return 0;
    }
    std::size_t at = marker + kMarker.size();
    while (at < answer.size() && IsSpace(answer[at])) {
        ++at;
    }
    bool negative = false;
    if (at < answer.size() && (answer[at] == '+' || answer[at] == '-')) {
        negative = answer[at] == '-';
        ++at;
    }
    std::int64_t value = 0;
    for (; at < answer.size() && IsAsciiDigit(answer[at]); ++at) {
        if (value <= INT_MAX) {
            value = value * 10 + (answer[at] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

int ErrcodeRule(std::string_view answer) {
    const std::size_t marker = answer.find("errcode");
    if (marker == std::string_view::npos) {
        return 1;
    }
    std::size_t at = marker;
    while (at < answer.size() && !IsAsciiDigit(answer[at])) {
        ++at;
    }
    if (at == answer.size()) {
        return 0;
    }
    bool zero = true;
    for (; at < answer.size() && IsAsciiDigit(answer[at]); ++at) {
        zero = zero && answer[at] == '0';
    }
    return zero && at < answer.size() ? 1 : 0;
}

int ReturnUrlRule(std::string_view answer, std::string& returnUrl) {
    const std::string text = answer.empty()
                                 ? std::string()
                                 : FromMarketplace(answer.data(), static_cast<int>(answer.size()));
    const std::string lower = AsciiLower(text);
    const std::size_t marker = lower.find("returnurl");
    if (marker == std::string::npos) {
        return -1;
    }
    const std::size_t start = lower.find("http://", marker);
    if (start == std::string::npos) {
        return -1;
    }
    const std::size_t end = lower.find(']', start);
    if (end == std::string::npos) {
        return -1;
    }
    returnUrl = text.substr(start, end - start);
    return 1;
}

}  // namespace kesto
