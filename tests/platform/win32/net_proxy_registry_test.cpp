// The system proxy on Windows comes from the Internet Settings in the registry; through it the
// five hosts' names reach a loopback server, which lets the shared cookie store be seen at work,
// and the user's web cache be seen to stay without the marketplace's answers.

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

// The files below the user's web cache that hold the text.
std::size_t CachedFilesHolding(const std::string& text) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, folder) != S_OK) {
        return 0;
    }
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             folder, std::filesystem::directory_options::skip_permission_denied, error)) {
        if (entry.is_regular_file(error)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string content{std::istreambuf_iterator<char>(file), {}};
            if (content.find(text) != std::string::npos) {
                ++count;
            }
        }
    }
    return count;
}

// The marketplace's answers carry the user's shop data: none of them is kept in the web cache,
// the answer to a GET as little as the answer to an upload.
TEST(ProxyRegistry, NoAnswerIsWrittenToTheWebCache) {
    const std::string marker =
        "answer-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    CaptureServer proxy({HttpAnswer(200, "{\"errcode\":0,\"marker\":\"" + marker + "\"}")});
    const RegistryProxy setting(proxy.port());
    ASSERT_TRUE(setting.valid());
    const std::unique_ptr<net::Session> session = net::OpenSession("HttpClient");
    ASSERT_EQ(testing::ProxyRoundTrip().Run(*session, proxy).size(), 2u);
    EXPECT_EQ(CachedFilesHolding(marker), 0u);
}

}  // namespace
}  // namespace kesto
