// libcurl ends a transfer without an error when the connection closes inside the answer's
// head; the net layer must not take that for a whole answer.

#include <gtest/gtest.h>

#include <string>

#include "market/http_request.h"
#include "tests/common/capture_server.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::ThenClose;

TEST(NetCurlHead, AnAnswerCutOffInItsHeadIsAFailure) {
    // The connection closes after the status line: no blank line ended the head, so nothing
    // says the answer is whole, however short its body.
    for (const int method : {kMethodGet, kMethodPost}) {
        const CaptureServer server({ThenClose("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n")});
        RequestOptions options;
        std::string result = "before";
        EXPECT_EQ(HttpRequest(result, server.Url("/show").c_str(), options, method, "a=1", true),
                  -1)
            << "method " << method;
    }
}

}  // namespace
}  // namespace kesto
