#include "job/area_result.h"

#include <gtest/gtest.h>

#include "market/job_context.h"
#include "market/password_request.h"

namespace kesto {
namespace {

// A failed area says why in its own words; without them, the password page it met, else the
// last failed request's reason. A success carries none of them.
TEST(AreaResultTest, AFailureWithoutWordsOfItsOwnTakesWhatTheContextRecorded) {
    const struct {
        const char* name;
        int code;
        const char* failure;
        bool passwordPage;
        const char* lastRequest;
        std::string reason;
    } cases[] = {
        {"own words first", -1, "reading the page text x: too long", true, "a 502",
         "reading the page text x: too long"},
        {"the password page", 0, "", true, "album.kesto.example did not accept the upload",
         kTransactionPasswordReason},
        {"the last request", -1, "", false, "manage.kesto.example answered 502",
         "manage.kesto.example answered 502"},
        {"nothing recorded", 0, "", false, "", ""},
        {"a success", 1, "", true, "an earlier failure", ""},
    };
    for (const auto& c : cases) {
        JobContext context;
        context.transactionPasswordPage = c.passwordPage;
        context.lastFailure = {c.lastRequest};
        const AreaResult result = AreaEnd(c.code, c.failure, context);
        EXPECT_EQ(result.code, c.code) << c.name;
        EXPECT_EQ(result.reason, c.reason) << c.name;
    }
}

// The reason's code is that of the cause its words hold: the last failed request's, else the
// last step cause's, the password page's whatever came before, "step-failed" for words of the
// area's own.
TEST(AreaResultTest, TheReasonCodeIsThatOfTheCauseItsWordsHold) {
    const struct {
        const char* name;
        std::string failure;
        RequestFailure lastRequest;
        RequestFailure stepCause;
        std::string code;
    } cases[] = {
        {"a request",
         "saving the layout: manage.kesto.example answered 502",
         {"manage.kesto.example answered 502", false, "status"},
         {"the answer holds no layout", false, "unreadable-layout"},
         "status"},
        {"a step cause",
         "reading the layout: the answer holds no layout",
         {"manage.kesto.example answered 502", false, "status"},
         {"the answer holds no layout", false, "unreadable-layout"},
         "unreadable-layout"},
        {"the password page",
         std::string("saving: ") + kTransactionPasswordReason,
         {"manage.kesto.example answered 502", false, "status"},
         {},
         "transaction-password"},
        {"own words", "the main folder x holds no page text", {}, {}, "step-failed"},
        {"a stale cause",
         "reading the layout: something else",
         {"an earlier failure", false, "status"},
         {"an earlier cause", false, "refused"},
         "step-failed"},
    };
    for (const auto& c : cases) {
        JobContext context;
        context.lastFailure = c.lastRequest;
        context.stepCause = c.stepCause;
        EXPECT_EQ(AreaEnd(0, c.failure, context).reasonCode, c.code) << c.name;
    }
    JobContext context;
    EXPECT_EQ(StepCause(context, "refused", "no"), "no");
    EXPECT_EQ(context.stepCause.code, "refused");
    EXPECT_EQ(AreaEnd(1, "", context).reasonCode, "");
}

}  // namespace
}  // namespace kesto
