// The web-browser control's window under Wine. Wine fetches pages but has no HTML engine here, so
// these tests look at what can be seen: the window and its control host, the request reaching a
// server (directly and through the proxy set in the registry), the event sink's answers, and the
// browser objects' life cycle.

#include "browser/win32/control_browser_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "browser/mini_browser.h"
#include "browser/win32/browser_host_window.h"
#include "browser/window_placement.h"
#include "tests/common/capture_server.h"

namespace kesto::win32 {
namespace {

using namespace std::chrono_literals;
using kesto::testing::CapturedRequest;
using kesto::testing::CaptureServer;
using kesto::testing::HttpAnswer;

constexpr wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class CountingEvents final : public BrowserEvents {
  public:
    void OnTopLevelDocumentComplete(std::string cookieText, BrowserDocument& document) override {
        ++reports;
        lastCookie = std::move(cookieText);
        lastUrl = document.Url();
        anchors = document.AnchorTexts().size();
    }
    int reports = 0;
    std::string lastCookie;
    std::string lastUrl;
    std::size_t anchors = 0;
};

// Runs the thread's messages until the condition holds or the time is up.
template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds limit = 15s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The proxy of WinINet's settings for one test, pointing at a loopback port.
class RegistryProxy {
  public:
    explicit RegistryProxy(int port) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key_, nullptr);
        const DWORD enable = 1;
        const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
        RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                       sizeof(enable));
        RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    }
    ~RegistryProxy() {
        const DWORD disable = 0;
        RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&disable),
                       sizeof(disable));
        RegDeleteValueW(key_, L"ProxyServer");
        RegCloseKey(key_);
    }
    RegistryProxy(const RegistryProxy&) = delete;
    RegistryProxy& operator=(const RegistryProxy&) = delete;

  private:
    HKEY key_ = nullptr;
};

// WinINet reads the proxy once per process, so the whole suite runs with its substitute
// marketplace as the proxy, set before the first navigation.
class ControlBrowserWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        market_ = std::make_unique<CaptureServer>(
            std::vector<std::string>{HttpAnswer(200, "<html><body>page</body></html>")});
        proxy_ = std::make_unique<RegistryProxy>(market_->port());
        OleInitialize(nullptr);
        ASSERT_TRUE(ControlBrowserWindow::RegisterWindowClasses());
    }
    static void TearDownTestSuite() {
        OleUninitialize();
        proxy_.reset();
        market_.reset();
    }

    // Waits for a request whose request line begins with the text; nothing when none comes.
    static std::optional<CapturedRequest> AwaitRequest(const std::string& start) {
        std::optional<CapturedRequest> found;
        PumpUntil([&] {
            for (const CapturedRequest& request : market_->Requests()) {
                if (request.RequestLine().rfind(start, 0) == 0) {
                    found = request;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    static std::unique_ptr<CaptureServer> market_;
    static std::unique_ptr<RegistryProxy> proxy_;
};

std::unique_ptr<CaptureServer> ControlBrowserWindowTest::market_;
std::unique_ptr<RegistryProxy> ControlBrowserWindowTest::proxy_;

TEST_F(ControlBrowserWindowTest, NavigateBeforeCreateFailsAndEmptiesNothingToShow) {
    MiniBrowser browser(MakeControlBrowserFactory());
    EXPECT_FALSE(browser.Navigate("http://www.kesto.example/"));
    EXPECT_FALSE(browser.HasOpenWindow());
    EXPECT_EQ(browser.GetCookie(), std::nullopt);
}

TEST_F(ControlBrowserWindowTest, CreationGivesAHiddenCentredWindowHostingTheControl) {
    CountingEvents events;
    ControlBrowserWindow window(events);
    ASSERT_TRUE(window.IsOpen());
    EXPECT_FALSE(IsWindowVisible(window.window()));
    EXPECT_EQ(Caption(window.window()), L"about:blank");
    EXPECT_EQ(GetWindowLongPtrW(window.window(), GWL_STYLE) & WS_OVERLAPPEDWINDOW,
              WS_OVERLAPPEDWINDOW);
    ASSERT_NE(window.hostWindow(), nullptr);
    EXPECT_EQ(ClassOf(window.hostWindow()), L"AtlAxWin80");
    EXPECT_EQ(GetParent(window.hostWindow()), window.window());
    ASSERT_NE(window.browser(), nullptr);
    EXPECT_EQ(HostedControl(window.hostWindow()).Get() != nullptr, true);
    VARIANT_BOOL silent = VARIANT_TRUE;
    EXPECT_EQ(window.browser()->get_Silent(&silent), S_OK);
    EXPECT_EQ(silent, VARIANT_FALSE);  // the page's own messages show

    RECT work{};
    RECT placed{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window.window(), &placed);
    const ScreenRect expected =
        CentreInWorkArea({work.left, work.top, work.right, work.bottom},
                         {placed.left, placed.top, placed.right, placed.bottom});
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.top, expected.top);

    // The host follows the window's client area.
    SetWindowPos(window.window(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    RECT host{};
    GetClientRect(window.window(), &client);
    GetClientRect(window.hostWindow(), &host);
    EXPECT_EQ(host.right, client.right);
    EXPECT_EQ(host.bottom, client.bottom);
}

TEST_F(ControlBrowserWindowTest, NavigationShowsTheWindowAndReachesTheMarketplace) {
    CountingEvents events;
    ControlBrowserWindow window(events);
    ASSERT_TRUE(window.Navigate("http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"));
    EXPECT_TRUE(IsWindowVisible(window.window()));
    const auto request = AwaitRequest("GET http://member.kesto.example");
    ASSERT_TRUE(request);
    EXPECT_NE(request->RequestLine().find("/cgi-bin/login_entry?LoginLevel=2 HTTP/1.1"),
              std::string::npos)
        << request->RequestLine();

    // A completed download puts the control's current address in the caption.
    BSTR location = nullptr;
    ASSERT_EQ(window.browser()->get_LocationURL(&location), S_OK);
    const std::wstring address = location != nullptr ? location : L"";
    SysFreeString(location);
    DISPPARAMS none{};
    EXPECT_EQ(window.eventSink()->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                                         nullptr),
              S_OK);
    EXPECT_EQ(Caption(window.window()), address);
    EXPECT_NE(address, L"about:blank");
}

TEST_F(ControlBrowserWindowTest, TheLoginCommandsBareHostReachesThePortal) {
    MiniBrowser browser(MakeControlBrowserFactory());
    browser.Create();
    ASSERT_TRUE(browser.HasOpenWindow());
    ASSERT_TRUE(browser.Navigate("www.kesto.example"));  // no scheme, no path
    const auto request = AwaitRequest("GET http://www.kesto.example");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Header("Host"), std::optional<std::string>("www.kesto.example"));
}

TEST_F(ControlBrowserWindowTest, EventSinkAnswersAndReportsOnlyTopLevelCompletions) {
    CountingEvents events;
    int pagesSaved = 0;
    ControlBrowserWindow window(events, {[&] { ++pagesSaved; }});
    ASSERT_NE(window.browser(), nullptr);

    IDispatch* sink = window.eventSink();
    ASSERT_NE(sink, nullptr);
    void* object = nullptr;
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, &object), S_OK);
    EXPECT_EQ(object, sink);
    const ULONG held = sink->Release();  // the reference QueryInterface gave
    EXPECT_EQ(sink->QueryInterface(IID_IOleObject, &object), E_NOINTERFACE);
    EXPECT_EQ(sink->AddRef(), held + 1);
    EXPECT_EQ(sink->Release(), held);
    UINT count = 0;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(sink->GetTypeInfoCount(nullptr), E_POINTER);

    DISPPARAMS none{};
    EXPECT_EQ(sink->Invoke(102, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(sink->Invoke(250, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    // DocumentComplete carries the frame in its second argument slot (the arguments come in
    // reverse order). Another object's completion is a frame's and changes nothing.
    VARIANT arguments[2];
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[1].vt = VT_DISPATCH;
    arguments[1].pdispVal = sink;
    DISPPARAMS completion{arguments, nullptr, 2, 0};
    EXPECT_EQ(
        sink->Invoke(259, IID_NULL, 0, DISPATCH_METHOD, &completion, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(events.reports, 0);
    EXPECT_EQ(pagesSaved, 0);

    // The control itself: the top-level document. Without an HTML document (Wine has no HTML
    // engine here) it is reported with no cookie text and an empty address.
    arguments[1].pdispVal = window.browser();
    EXPECT_EQ(
        sink->Invoke(259, IID_NULL, 0, DISPATCH_METHOD, &completion, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(events.reports, 1);
    EXPECT_EQ(pagesSaved, 1);
    EXPECT_EQ(events.lastCookie, "");
    EXPECT_EQ(events.anchors, 0u);
}

TEST_F(ControlBrowserWindowTest, CloseDestroysTheWindowAndCreateMakesAFreshOne) {
    MiniBrowser browser(MakeControlBrowserFactory());
    browser.Create();
    ASSERT_TRUE(browser.HasOpenWindow());
    browser.Create();  // a second Login press keeps the open window
    EXPECT_TRUE(browser.HasOpenWindow());
    browser.CloseLogin();
    EXPECT_FALSE(browser.HasOpenWindow());
    EXPECT_FALSE(browser.Navigate("www.kesto.example"));
    browser.Create();
    EXPECT_TRUE(browser.HasOpenWindow());
}

}  // namespace
}  // namespace kesto::win32
