#include "app/gtk/design_program.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/gtk/design_window.h"
#include "app/gtk/shell_open.h"
#include "browser/cookie_file_writer.h"
#include "browser/gtk/webkit_browser_window.h"
#include "browser/login_kesto.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "market/shop_session.h"
#include "platform/login_cookie_file.h"
#include "platform/system.h"
#include "support/user_files.h"

namespace kesto::gtk {

namespace {

// Set to anything, this variable makes the program write each progress line to its standard
// output as it adds it, so that a test driving the window can follow it.
constexpr char kEchoVariable[] = "KESTO_DESIGN_ECHO_LINES";

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

// After each page of a login, the request layer's cookie store and the cookie file for
// kesto-decorate receive every cookie the browser holds. A browser without cookies (the first
// page of a new session) leaves the file of an earlier login alone.
void TakeBrowserCookies(const std::string& cookieFile, const std::vector<net::Cookie>& cookies) {
    if (cookies.empty()) {
        return;
    }
    for (const net::Cookie& cookie : cookies) {
        net::StoreCookie(cookie);
    }
    if (!cookieFile.empty() && !SaveLoginCookieFile(cookieFile, CookieFileText(cookies))) {
        g_warning("cannot write the login cookies to %s", cookieFile.c_str());
    }
}

void EchoLine(const std::string& line) {
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

int RunDesignProgram(int argc, char** argv, DecorationStepsFactory makeSteps) {
    gtk_init(&argc, &argv);

    WebKitBrowserSettings browserSettings;
    browserSettings.route = ProxyRouteFromVariables(Variable("http_proxy"), Variable("no_proxy"));
    const std::string cookieFile = DesktopCookieFile();
    browserSettings.onCookies = [cookieFile](std::vector<net::Cookie> cookies) {
        TakeBrowserCookies(cookieFile, cookies);
    };
    const BrowserWindowFactory makeBrowserWindow = MakeWebKitBrowserFactory(browserSettings);

    // The process-wide objects, in start-up order; they go in the reverse order. The first
    // session keeps the graphics library started between jobs.
    const ShopSession processSession;
    MiniBrowser passwordBrowser(makeBrowserWindow);
    const auto loginBrowser = std::make_shared<LoginKesto>(makeBrowserWindow);
    ProcessIdentity().SetCookieSource(loginBrowser);

    DesignServices services;
    services.templateRoot = ExecutableFolder() + "template/";
    services.openLoginBrowser = [&loginBrowser] {
        loginBrowser->Create();
        loginBrowser->Navigate(hosts::kPortal);
    };
    services.openPasswordBrowser = [&passwordBrowser](const std::string& address) {
        passwordBrowser.Create();
        passwordBrowser.Navigate(address);
    };
    services.checkLogin = [] { return CheckLogin(); };
    services.openWithShell = &OpenWithDefaultProgram;
    services.makeSteps = std::move(makeSteps);
    services.onClosed = [](int /*code*/) { gtk_main_quit(); };
    if (Variable(kEchoVariable)) {
        services.echoLine = &EchoLine;
    }
    bool jobStillRunning = false;
    {
        DesignWindow window(std::move(services));
        window.Show();
        gtk_main();
        jobStillRunning = window.jobRunning();
    }
    if (jobStillRunning) {
        // The window closed while a job was running: the process ends at once, as its threads
        // would end with it, instead of tearing down objects the job's thread still uses.
        std::fflush(nullptr);
        std::_Exit(1);
    }
    ProcessIdentity().SetCookieSource(nullptr);
    return 1;
}

}  // namespace kesto::gtk
