#include "browser/gtk/webkit_browser_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/login_kesto.h"
#include "browser/password_browser.h"
#include "tests/common/gtk/gui_pump.h"
#include "tests/common/gtk/market_process.h"

namespace kesto::gtk {
namespace {

using kesto::testing::MarketProcess;
using kesto::testing::PumpFor;
using kesto::testing::PumpUntil;
using namespace std::chrono_literals;

constexpr auto kPageLimit = 20s;

// A plain browser that records each document its hook sees.
class RecordingBrowser final : public MiniBrowser {
  public:
    using MiniBrowser::MiniBrowser;
    std::vector<std::string> documents;

  protected:
    void OnDocumentComplete(BrowserDocument& document) override {
        documents.push_back(document.Url());
    }
};

// A loopback port nothing listens on: one the system just handed out and took back.
int ClosedPort() {
    GError* error = nullptr;
    GSocket* socket =
        g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, &error);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* any = g_inet_socket_address_new(loopback, 0);
    g_socket_bind(socket, any, FALSE, &error);
    GSocketAddress* bound = g_socket_get_local_address(socket, &error);
    const int port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
    g_object_unref(bound);
    g_object_unref(any);
    g_object_unref(loopback);
    g_object_unref(socket);
    return port;
}

class WebKitBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketProcess>(KESTO_MARKET_PROGRAM, MarketOptions());
        ASSERT_FALSE(market_->proxy().empty()) << "kesto-market did not start";
    }
    virtual std::vector<std::string> MarketOptions() const { return {}; }

    // Windows whose newest one the test can reach; all take the market's route.
    BrowserWindowFactory Factory(std::vector<std::string> directHosts = {}) {
        settings_.route.proxyUri = market_->proxy();
        settings_.route.ignoreHosts = std::move(directHosts);
        settings_.onCookies = [this](std::vector<net::Cookie> cookies) {
            ++cookieCopies_;
            cookies_ = std::move(cookies);
        };
        ApplyProxyRoute(settings_.route);
        return [this](BrowserEvents& events) {
            auto window = std::make_unique<WebKitBrowserWindow>(events, settings_);
            newest_ = window.get();
            return window;
        };
    }

    std::string Title() const {
        GtkWindow* window = newest_ == nullptr ? nullptr : newest_->window();
        const char* title = window == nullptr ? nullptr : gtk_window_get_title(window);
        return title == nullptr ? std::string() : title;
    }

    void RunScript(const char* script) {
        webkit_web_view_evaluate_javascript(newest_->webView(), script, -1, nullptr, nullptr,
                                            nullptr, nullptr, nullptr);
    }

    bool HasCookie(const std::string& name) const {
        for (const net::Cookie& cookie : cookies_) {
            if (cookie.name == name && cookie.domain == ".kesto.example") {
                return true;
            }
        }
        return false;
    }

    // Logs the demo account in through the portal, as the login browser does it.
    void LogIn(LoginKesto& browser) {
        browser.Create();
        ASSERT_TRUE(browser.Navigate("www.kesto.example"));
        ASSERT_TRUE(PumpUntil(
            [&] {
                return Title().find("/cgi-bin/login_entry") != std::string::npos &&
                       cookieCopies_ >= 2;
            },
            kPageLimit))
            << Title();
        RunScript(
            "document.querySelector('[name=u]').value = '10001';"
            "document.querySelector('[name=p]').value = 'kesto123';"
            "document.forms[0].submit();");
        ASSERT_TRUE(PumpUntil([&] { return browser.GetCookie().has_value(); }, kPageLimit));
    }

    std::unique_ptr<MarketProcess> market_;
    WebKitBrowserSettings settings_;
    WebKitBrowserWindow* newest_ = nullptr;
    int cookieCopies_ = 0;
    std::vector<net::Cookie> cookies_;
};

TEST_F(WebKitBrowserTest, LoginBrowserFollowsThePortalsLinkAndCapturesTheLogin) {
    LoginKesto browser(Factory());
    EXPECT_FALSE(browser.Navigate("www.kesto.example"));  // no window yet
    browser.Create();
    EXPECT_EQ(Title(), "about:blank");

    // The hook clicks "登录" on the portal's front page, which leads to the login entry page,
    // whose cookie text is discarded; the user's login then leaves the session's cookies.
    LogIn(browser);
    const std::string cookieText = *browser.GetCookie();
    EXPECT_NE(cookieText.find("ptui_loginuin=10001"), std::string::npos) << cookieText;
    EXPECT_NE(cookieText.find("skey="), std::string::npos) << cookieText;
    EXPECT_EQ(Title(), "http://www.kesto.example/my");
    EXPECT_TRUE(HasCookie("skey"));  // handed on for the request layer and the cookie file
    EXPECT_TRUE(HasCookie("uin"));

    // The login check closes the window; the captured text stays.
    CookieSource& source = browser;
    source.CloseLogin();
    EXPECT_FALSE(browser.HasOpenWindow());
    EXPECT_EQ(browser.GetCookie(), cookieText);
    browser.Create();
    EXPECT_TRUE(browser.HasOpenWindow());
    EXPECT_EQ(Title(), "about:blank");
}

// A shop that asks for its transaction password before it may be managed.
class PasswordBrowserTest : public WebKitBrowserTest {
  protected:
    std::vector<std::string> MarketOptions() const override {
        return {"--password-required", "10001"};
    }
};

TEST_F(PasswordBrowserTest, ThePasswordBrowserSharesTheLoginsSession) {
    const BrowserWindowFactory windows = Factory();
    LoginKesto login(windows);
    LogIn(login);
    login.Close();

    PasswordBrowser password(windows);
    password.Create();
    ASSERT_TRUE(password.Navigate("http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"));
    ASSERT_TRUE(PumpUntil([&] { return password.GetCookie().has_value(); }, kPageLimit));
    // The logged-in session gets the transaction password form, not the login form. A wrong
    // password shows the form again, and the window stays.
    const int reported = cookieCopies_;
    RunScript(
        "document.querySelector('[name=tp]').value = '000000';"
        "document.forms[0].submit();");
    ASSERT_TRUE(PumpUntil(
        [&] {
            return Title() == "http://member.kesto.example/cgi-bin/trade_verify" &&
                   cookieCopies_ > reported;
        },
        kPageLimit))
        << Title();
    PumpFor(500ms);
    ASSERT_TRUE(password.HasOpenWindow());
    // The right one leads to the portal, and the window closes by itself.
    RunScript(
        "document.querySelector('[name=tp]').value = '888888';"
        "document.forms[0].submit();");
    ASSERT_TRUE(PumpUntil([&] { return Title() == "http://www.kesto.example/my"; }, kPageLimit))
        << Title();
    EXPECT_TRUE(PumpUntil([&] { return !password.HasOpenWindow(); }, kPageLimit));
}

TEST_F(WebKitBrowserTest, FailedLoadsAndFramesReportNothing) {
    RecordingBrowser browser(Factory({"127.0.0.1"}));
    browser.Create();
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    ASSERT_TRUE(browser.Navigate(closed));
    // The error page takes the failed address as caption but is no document of the site.
    ASSERT_TRUE(PumpUntil([&] { return Title() == closed; }, kPageLimit));
    PumpFor(1000ms);
    EXPECT_TRUE(browser.documents.empty());

    // One top-level document with a frame and a script dialog: reported once, no dialog waits.
    webkit_web_view_load_html(newest_->webView(),
                              "<iframe src=\"http://www.kesto.example/\"></iframe>"
                              "<script>alert('x'); document.cookie = 'seen=1';</script>",
                              "http://www.kesto.example/frames");
    ASSERT_TRUE(PumpUntil([&] { return !browser.documents.empty(); }, kPageLimit));
    PumpFor(1000ms);  // the frame's load completes meanwhile
    EXPECT_EQ(browser.documents, std::vector<std::string>{"http://www.kesto.example/frames"});
}

}  // namespace
}  // namespace kesto::gtk
