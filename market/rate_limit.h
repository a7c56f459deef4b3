#pragma once
// A marketplace that is busy refuses a request with 429 (too many requests), or 503 with a
// Retry-After header, without carrying it out; the request may then go again, whatever its
// method, once the wait the answer asks for is over. The redirect chain (market/redirect_chain.h)
// waits and sends again, under the job's time bound, at most kMaxRateLimitWaits times for one
// request.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kesto {

// The most waits one request makes before its refusal counts as its answer.
inline constexpr int kMaxRateLimitWaits = 10;
// The wait after a refusal that names none: 1 s, doubled after each further one, up to this.
inline constexpr std::chrono::seconds kFirstRateLimitWait{1};
inline constexpr std::chrono::seconds kLongestGrowingWait{60};
// The longest wait a refusal may ask for; one asking more fails its request as the refusal it
// is (a request without the job's time bound would otherwise block for as long as it says).
inline constexpr std::chrono::minutes kLongestRateLimitWait{15};

// How long a Retry-After value asks to wait: whole seconds ("120"), or a date (how long from now
// until then; no wait when it has passed). Nothing for a value that is neither.
std::optional<std::chrono::milliseconds> ParseRetryAfter(std::string_view value,
                                                         std::chrono::system_clock::time_point now);

// The wait an answer asks for before its request goes again: for 429, its Retry-After, or a
// growing wait when it gives none it can be read by; for 503, the same when it carries a
// Retry-After header at all. Nothing for every other answer. waitsSoFar counts the request's
// earlier waits.
std::optional<std::chrono::milliseconds> RateLimitWait(int status,
                                                       const std::optional<std::string>& retryAfter,
                                                       int waitsSoFar,
                                                       std::chrono::system_clock::time_point now);

}  // namespace kesto
