#pragma once
// What an area operation of the decoration job ends with: its result code and, when it failed,
// why, in words a shop owner can act on (which step, which file or request, what it met).

#include <string>

namespace kesto {

struct JobContext;

struct AreaResult {
    // The operation's result code: above 0 for success.
    int code = 0;
    // Why it failed; empty when it succeeded or nothing was recorded.
    std::string reason;
};

// The result of an area operation that ended with code, failure being the reason its steps gave.
// A failure without words of its own takes the transaction-password reason when the
// marketplace asked for the password during the area, else the last failed request's.
AreaResult AreaEnd(int code, std::string failure, const JobContext& context);

}  // namespace kesto
