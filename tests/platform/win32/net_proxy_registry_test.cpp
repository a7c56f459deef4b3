// The system proxy on Windows comes from the Internet Settings in the registry; through it the
// five hosts' names reach a loopback server, which lets the shared cookie store be seen at work.

#include <windows.h>

#include <gtest/gtest.h>

#include "market/cookie_store.h"
#include "tests/platform/proxy_round_trip.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;

constexpr wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Points the current user's proxy setting at a server for the lifetime of the object.
class RegistryProxy {
  public:
    explicit RegistryProxy(int port) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
        SetEnable(1);
        RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    }
    ~RegistryProxy() {
        if (key_ != nullptr) {
            SetEnable(0);
            RegDeleteValueW(key_, L"ProxyServer");
            RegCloseKey(key_);
        }
    }
    RegistryProxy(const RegistryProxy&) = delete;
    RegistryProxy& operator=(const RegistryProxy&) = delete;

    bool valid() const { return key_ != nullptr; }

  private:
    void SetEnable(DWORD enable) {
        RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                       sizeof enable);
    }
    HKEY key_ = nullptr;
};

TEST(ProxyRegistry, RequestsAndUploadsShareTheLoginCookiesThroughTheProxy) {
    CaptureServer proxy({HttpAnswer(200, "{\"errcode\":0,\"x\":1}")});
    const RegistryProxy setting(proxy.port());
    ASSERT_TRUE(setting.valid());
    ASSERT_TRUE(StoreCookieLine(".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to0012345"));

    const std::unique_ptr<net::Session> session = net::OpenSession("HttpClient");
    const auto requests = testing::ProxyRoundTrip().Run(*session, proxy);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].RequestLine().find(std::string(hosts::kManage)), std::string::npos)
        << requests[0].RequestLine();
    EXPECT_NE(requests[1].RequestLine().find(std::string(hosts::kAlbum)), std::string::npos)
        << requests[1].RequestLine();
    for (const auto& request : requests) {
        const std::string cookies = request.Header("Cookie").value_or("");
        EXPECT_NE(cookies.find("uin=o0012345"), std::string::npos) << cookies;
    }
}

}  // namespace
}  // namespace kesto
