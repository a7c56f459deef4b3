// kesto-design.exe: the desktop program on Windows. Sets up the common controls, OLE and the
// browser windows (their document mode, and their keys in the dialog's modal loop), builds the
// desktop program over them, runs the main dialog modally, and lets the objects go in the
// reverse order. The process's exit code is always 1; --version and --help print and end with 0.
// With --login only the login window opens, polled until the login ends (app/login_only.h).

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/design_command_line.h"
#include "app/design_program.h"
#include "app/desktop_services.h"
#include "app/login_only.h"
#include "app/win32/design_dlg.h"
#include "app/win32/shell_open.h"
#include "browser/win32/browser_emulation.h"
#include "browser/win32/browser_key_routing.h"
#include "browser/win32/control_browser_window.h"
#include "browser/win32/wininet_login_cookies.h"
#include "market/identity.h"
#include "platform/program_running_mark.h"
#include "platform/system.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"
#include "support/program_version.h"
#include "support/user_files.h"
#include "templates/template_roots.h"

namespace {

using kesto::win32::Widen;

// OLE for the dialog's thread, for as long as the browsers live.
class OleSession {
  public:
    OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (initialised_) {
            OleUninitialize();
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

  private:
    bool initialised_;
};

// The module object: the program's own instance, which holds its resources.
struct CFakeModule {
    HINSTANCE instance;
};

// The main dialog when it is up on the calling thread; null otherwise (the login window alone).
HWND ThreadMainDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring_view(className) != L"#32770" || !IsWindowVisible(window) ||
                GetDlgItem(window, kesto::win32::kProgressList) == nullptr) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The web-browser control's windows, rendering in the engine's newest document mode, owned by
// the main dialog (no taskbar button of their own, never behind it); after each completed page,
// the login's cookies are left where kesto-decorate looks.
kesto::BrowserWindowFactory MakeBrowserWindowFactory() {
    kesto::win32::SetBrowserEmulationForThisProgram();
    kesto::win32::ControlBrowserWindow::RegisterWindowClasses();
    kesto::win32::ControlBrowserSettings settings;
    settings.owner = &ThreadMainDialog;
    settings.afterTopLevelDocument = [cookieFile = kesto::DesktopCookieFile()] {
        kesto::win32::LeaveLoginCookies(cookieFile);
    };
    return kesto::win32::MakeControlBrowserFactory(settings);
}

// A handle closed when it goes away.
class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// A console gets the text through its wide-character interface, so Chinese shows whatever its
// code page; a pipe or a file gets the UTF-8 bytes.
void WriteAll(HANDLE out, const std::string& text) {
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = Widen(text);
        DWORD written = 0;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Text from a program without a console of its own: it goes to the standard stream it was given
// (a pipe, a file, or the console kesto-decorate handed on) or else to the console it was
// started from. --version and --help print on standard output, --login's message on standard
// error.
void PrintText(const std::string& text, DWORD stream = STD_OUTPUT_HANDLE) {
    const HANDLE given = GetStdHandle(stream);
    if (given != nullptr && given != INVALID_HANDLE_VALUE) {
        WriteAll(given, text);
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    const OwnedHandle console(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (console.get() != INVALID_HANDLE_VALUE) {
        WriteAll(console.get(), text);
    }
}

// The login window alone: a message loop of its own, with a thread timer polling the login
// until it ends. Keys go to the browser's control first, as in the dialog's modal loop.
int RunLoginOnly() {
    kesto::DesktopPlatform platform;
    platform.makeBrowserWindow = MakeBrowserWindowFactory();
    kesto::DesktopServices services(std::move(platform));
    kesto::LoginOnly login(services, kesto::ProcessIdentity(), kesto::DesktopCookieFile());
    std::optional<kesto::LoginOnlyEnd> end = login.Start();
    const UINT_PTR timer =
        end ? 0 : SetTimer(nullptr, 0, kesto::kLoginOnlyPollMilliseconds, nullptr);
    MSG message{};
    while (!end && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == timer) {
            end = login.Poll();
            continue;
        }
        if (kesto::win32::PreTranslateBrowserMessage(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (timer != 0) {
        KillTimer(nullptr, timer);
    }
    if (!end) {
        return kesto::kLoginNotCompleted;  // the thread was told to quit
    }
    if (!end->message.empty()) {
        PrintText(end->message + "\n", STD_ERROR_HANDLE);
    }
    return end->exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // While it lives, the installer and uninstaller leave the program's files alone.
    const auto runningMark = kesto::ProgramRunningMark::Leave();
    kesto::StartTranslations();
    const kesto::DesignStart start = kesto::DesignStartFor(kesto::ProgramArguments(0, nullptr));
    switch (start) {
        case kesto::DesignStart::kPrintVersion:
            PrintText(kesto::VersionLine("kesto-design"));
            return 0;
        case kesto::DesignStart::kPrintHelp:
            PrintText(kesto::DesignHelpText(kesto::TemplateRoots(kesto::ProcessTemplatePlaces())));
            return 0;
        case kesto::DesignStart::kLogin:
        case kesto::DesignStart::kRun:
            break;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const OleSession ole;
    if (start == kesto::DesignStart::kLogin) {
        return RunLoginOnly();
    }
    const CFakeModule module{instance};
    // The browser windows run in the dialog's modal loop, which gives their controls the keys.
    const kesto::win32::BrowserKeysInModalLoops browserKeys;

    kesto::DesktopPlatform platform;
    platform.makeBrowserWindow = MakeBrowserWindowFactory();
    platform.openWithShell = [](const std::string& target) {
        return kesto::win32::ShellOpen(Widen(target));
    };
    // The shell runs on a thread of its own; its failure comes back to the dialog later.
    platform.openShopFront = [](const std::string& address, std::function<void()> notOpened) {
        kesto::win32::ShellOpenOnOwnThread(Widen(address), std::move(notOpened));
        return true;
    };
    kesto::DesignProgram program(std::move(platform));
    {
        kesto::win32::DesignDlg dialog(program);
        dialog.DoModal(module.instance);
    }
    return 1;
}
