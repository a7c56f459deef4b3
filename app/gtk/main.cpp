// kesto-design on Linux: GTK and the WebKit browser windows set up, the desktop program over
// them, its window, and the main loop until the window has gone. The process's exit code is
// always 1, whatever the window ended with; --version and --help print and end with 0. With
// --login only the login window opens, polled until the login ends (app/login_only.h).

#include <gtk/gtk.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/design_command_line.h"
#include "app/design_program.h"
#include "app/desktop_services.h"
#include "app/gtk/design_dlg.h"
#include "app/gtk/shell_open.h"
#include "app/login_only.h"
#include "browser/gtk/webkit_browser_window.h"
#include "browser/login_cookie_handover.h"
#include "market/identity.h"
#include "platform/net_layer.h"
#include "platform/system.h"
#include "platform/translation.h"
#include "support/program_version.h"
#include "support/user_files.h"
#include "templates/template_roots.h"

namespace kesto::gtk {
namespace {

// Set to anything, this variable makes the program write each progress line to its standard
// output as it adds it, so that a test driving the window can follow it.
constexpr char kEchoVariable[] = "KESTO_DESIGN_ECHO_LINES";

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

// After each page of a login, the marketplace's cookies among the browser's go to the request
// layer's cookie store and the cookie file for kesto-decorate.
void TakeBrowserCookies(const std::string& cookieFile, const std::vector<net::Cookie>& cookies) {
    if (!HandOverLoginCookies(cookies, cookieFile)) {
        g_warning("cannot write the login cookies to %s", cookieFile.c_str());
    }
}

// WebKit windows behind the system's proxy, handing their cookies over after each page.
BrowserWindowFactory MakeBrowserWindowFactory() {
    WebKitBrowserSettings settings;
    settings.route = ProxyRouteFromVariables(Variable("http_proxy"), Variable("no_proxy"));
    settings.onCookies = [cookieFile = DesktopCookieFile()](std::vector<net::Cookie> cookies) {
        TakeBrowserCookies(cookieFile, cookies);
    };
    return MakeWebKitBrowserFactory(settings);
}

void EchoLine(const std::string& line) {
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

int RunDesignProgram() {
    DesktopPlatform platform;
    platform.makeBrowserWindow = MakeBrowserWindowFactory();
    platform.openWithShell = &OpenWithDefaultProgram;
    DesignProgram program(std::move(platform));

    DesignDlgOptions options;
    options.onClosed = [](int /*code*/) { gtk_main_quit(); };
    if (Variable(kEchoVariable)) {
        options.echoLine = &EchoLine;
    }
    DesignDlg window(program, std::move(options));
    window.Show();
    gtk_main();
    return 1;
}

// The login window alone: the main loop runs until a poll ends the login.
int RunLoginOnly() {
    DesktopPlatform platform;
    platform.makeBrowserWindow = MakeBrowserWindowFactory();
    DesktopServices services(std::move(platform));
    LoginOnly login(services, ProcessIdentity(), DesktopCookieFile());
    struct Poller {
        LoginOnly& login;
        std::optional<LoginOnlyEnd> end;
    } poller{login, login.Start()};
    if (!poller.end) {
        g_timeout_add(
            kLoginOnlyPollMilliseconds,
            [](gpointer data) -> gboolean {
                auto& state = *static_cast<Poller*>(data);
                state.end = state.login.Poll();
                if (!state.end) {
                    return G_SOURCE_CONTINUE;
                }
                gtk_main_quit();
                return G_SOURCE_REMOVE;
            },
            &poller);
        gtk_main();
    }
    if (!poller.end->message.empty()) {
        std::fprintf(stderr, "%s\n", poller.end->message.c_str());
    }
    return poller.end->exitCode;
}

}  // namespace
}  // namespace kesto::gtk

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    kesto::StartTranslations();
    switch (kesto::DesignStartFor(kesto::ProgramArguments(argc, argv))) {
        case kesto::DesignStart::kPrintVersion:
            std::fputs(kesto::VersionLine("kesto-design").c_str(), stdout);
            return 0;
        case kesto::DesignStart::kPrintHelp:
            std::fputs(
                kesto::DesignHelpText(kesto::TemplateRoots(kesto::ProcessTemplatePlaces())).c_str(),
                stdout);
            return 0;
        case kesto::DesignStart::kLogin:
            if (!gtk_init_check(&argc, &argv)) {
                std::fprintf(stderr, "kesto-design: %s\n",
                             kesto::Translate("cannot open a display for the login window"));
                return kesto::kLoginNotCompleted;
            }
            return kesto::gtk::RunLoginOnly();
        case kesto::DesignStart::kRun:
            break;
    }
    gtk_init(&argc, &argv);
    return kesto::gtk::RunDesignProgram();
}
