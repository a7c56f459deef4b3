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

}  // namespace
}  // namespace kesto
