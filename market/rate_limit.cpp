#include "market/rate_limit.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "support/ascii_text.h"
#include "support/http_date.h"

namespace kesto {

namespace {

constexpr int kStatusTooManyRequests = 429;
constexpr int kStatusUnavailable = 503;

std::chrono::milliseconds GrowingWait(int waitsSoFar) {
    std::chrono::milliseconds wait = kFirstRateLimitWait;
    for (int i = 0; i < waitsSoFar && wait < kLongestGrowingWait; ++i) {
        wait *= 2;
    }
    return std::min<std::chrono::milliseconds>(wait, kLongestGrowingWait);
}

}  // namespace

std::optional<std::chrono::milliseconds> ParseRetryAfter(
    std::string_view value, std::chrono::system_clock::time_point now) {
    const std::string_view text = TrimmedAscii(value);
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos) {
        // A figure too large to hold is as good as a wait without end.
        long long seconds = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (error != std::errc() || end != text.data() + text.size() ||
            seconds > std::chrono::duration_cast<std::chrono::seconds>(std::chrono::hours(24 * 365))
                          .count()) {
            return std::chrono::hours(24 * 365);
        }
        return std::chrono::seconds(seconds);
    }
    const std::optional<std::chrono::system_clock::time_point> date = ParseHttpDate(text);
    if (!date) {
        return std::nullopt;
    }
    if (*date <= now) {
        return std::chrono::milliseconds(0);
    }
    return std::chrono::ceil<std::chrono::milliseconds>(*date - now);
}

std::optional<std::chrono::milliseconds> RateLimitWait(int status,
                                                       const std::optional<std::string>& retryAfter,
                                                       int waitsSoFar,
                                                       std::chrono::system_clock::time_point now) {
    if (status != kStatusTooManyRequests && !(status == kStatusUnavailable && retryAfter)) {
        return std::nullopt;
    }
    if (retryAfter) {
        if (const auto asked = ParseRetryAfter(*retryAfter, now)) {
            return asked;
        }
    }
    return GrowingWait(waitsSoFar);
}

}  // namespace kesto
