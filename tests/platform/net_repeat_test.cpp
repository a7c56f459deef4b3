// libcurl and WinINet send a request again by themselves when the kept-alive connection they
// reused dies before the answer. A POST that changes the shop may have been carried out by then:
// it must fail, not go out twice.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "market/http_request.h"
#include "platform/net_layer.h"
#include "tests/common/capture_server.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;

TEST(NetRepeat, APostMetByADeadConnectionIsNotSentAgain) {
    // The GET leaves a kept-alive connection; the server takes the POST and closes without an
    // answer, as a server that carried it out and then failed would.
    const CaptureServer server({HttpAnswer(200, "shop"),
                                std::string(CaptureServer::kCloseWithoutAnswer),
                                HttpAnswer(200, "done twice")});
    const std::unique_ptr<net::Session> session = net::OpenSession("HttpClient");
    RequestOptions options;
    std::string result;
    EXPECT_EQ(HttpRequest(*session, result, server.Url("/show").c_str(), options, kMethodGet,
                          nullptr, false),
              1);
    EXPECT_EQ(HttpRequest(*session, result, server.Url("/change").c_str(), options, kMethodPost,
                          "a=1", true),
              -1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u) << "the POST went out once";
    EXPECT_EQ(requests[1].RequestLine(), "POST /change HTTP/1.1");
}

}  // namespace
}  // namespace kesto
