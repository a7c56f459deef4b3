// The system proxy on Linux is the http_proxy variable; through it the five hosts' names reach a
// loopback server, which lets the shared cookie store be seen at work.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "market/cookie_store.h"
#include "tests/platform/proxy_round_trip.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;

class ProxyVariable {
  public:
    explicit ProxyVariable(const std::string& proxy) { setenv("http_proxy", proxy.c_str(), 1); }
    ~ProxyVariable() { unsetenv("http_proxy"); }
    ProxyVariable(const ProxyVariable&) = delete;
    ProxyVariable& operator=(const ProxyVariable&) = delete;
};

TEST(ProxyEnvironment, RequestsAndUploadsShareTheLoginCookiesThroughTheProxy) {
    CaptureServer proxy({HttpAnswer(200, "{\"errcode\":0,\"x\":1}")});
    const ProxyVariable variable(proxy.Url(""));
    ASSERT_TRUE(StoreCookieLine(".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to0012345"));
    ASSERT_TRUE(StoreCookieLine("manage.kesto.example\tFALSE\t/\tFALSE\t0\tonly\tmanage"));

    const testing::ProxyRoundTrip trip;
    const std::string& manage = trip.manage;
    const std::string& album = trip.album;
    const auto requests = trip.Run(SharedSession(), proxy);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].RequestLine(), "GET " + manage + " HTTP/1.1");
    const std::string manageCookies = requests[0].Header("Cookie").value_or("");
    EXPECT_NE(manageCookies.find("uin=o0012345"), std::string::npos) << manageCookies;
    EXPECT_NE(manageCookies.find("only=manage"), std::string::npos) << manageCookies;
    EXPECT_EQ(requests[1].RequestLine(), "POST " + album + " HTTP/1.1");
    const std::string albumCookies = requests[1].Header("Cookie").value_or("");
    EXPECT_NE(albumCookies.find("uin=o0012345"), std::string::npos) << albumCookies;
    EXPECT_EQ(albumCookies.find("only=manage"), std::string::npos) << albumCookies;
    EXPECT_EQ(requests[1].Header("User-Agent"), Uploader::kAgent);
}

}  // namespace
}  // namespace kesto
