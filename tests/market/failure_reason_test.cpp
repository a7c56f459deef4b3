// A network failure's reason: what went wrong, the system's error number where it has one, and
// last what the user can do, so the advice is never split from the sentence by the number.

#include "market/failure_reason.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/net_layer.h"

namespace kesto {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(FailureReasonTest, ANetworkReasonEndsWithWhatToDoAfterTheErrorNumber) {
    const struct {
        unsigned long error;
        const char* action;
    } cases[] = {
        {net::kErrorTimeout, "run again"},
        {net::kErrorNameNotResolved, "check the proxy settings"},
        {net::kErrorCannotConnect, "check the proxy settings"},
        {net::kErrorConnectionReset, "run again"},
        {net::kErrorInvalidCa, "check the proxy settings"},
        {net::kErrorInternal, "run again"},
    };
    for (const auto& c : cases) {
        const std::string reason = DescribeNetError(c.error, "manage.kesto.example");
        const std::string number = net::ErrorNumberLabel(c.error);
        const std::string end =
            number.empty() ? std::string(": ") + c.action : " (error " + number + "): " + c.action;
        EXPECT_TRUE(EndsWith(reason, end)) << reason;
        EXPECT_NE(reason.find("manage.kesto.example"), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace kesto
