#pragma once
// What an area operation of the decoration job ends with: its result code and, when it failed,
// why, in words a shop owner can act on (which step, which file or request, what it met).

#include <string>

namespace kesto {

struct JobContext;

struct AreaResult {
    // The operation's result code: above 0 for success.
    int code = 0;
    // Why it failed, in the user's language; empty when it succeeded or nothing was recorded.
    std::string reason;
    // The reason's kind, for scripts ("status", "not-category-list", ...: docs/json.md); empty
    // when it succeeded.
    std::string reasonCode = {};
};

// Records a cause a step of an area gives in its own words (not a request's failure) with its
// code, and answers the text: AreaEnd finds the code again in the area's reason.
std::string StepCause(JobContext& context, const char* code, std::string text);

// The code of a reason: "transaction-password" when it holds the transaction-password reason,
// else that of the last failed request or the last step cause whose words it holds, else
// "step-failed" ("no-reason" when it is empty).
std::string ReasonCode(const std::string& reason, const JobContext& context);

// The result of an area operation that ended with code, failure being the reason its steps gave.
// A failure without words of its own takes the transaction-password reason when the
// marketplace asked for the password during the area, else the last failed request's. The
// reason's code is that of the last failed request or the last step cause whose words the reason
// holds, else "step-failed".
AreaResult AreaEnd(int code, std::string failure, const JobContext& context);

}  // namespace kesto
