#include "browser/win32/browser_key_routing.h"

#include "browser/win32/browser_host_window.h"
#include "browser/win32/control_browser_window.h"

namespace kesto::win32 {

namespace {

constexpr int kClassNameCharacters = 64;

bool IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// The control host of the program's browser window that holds the window; null for a window of
// anything else.
HWND BrowserHostHolding(HWND window) {
    const HWND frame = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    wchar_t className[kClassNameCharacters] = {};
    if (frame == nullptr || GetClassNameW(frame, className, kClassNameCharacters) == 0 ||
        lstrcmpW(className, kBrowserFrameClass) != 0) {
        return nullptr;
    }
    return FindWindowExW(frame, nullptr, kHostWindowClass, nullptr);
}

// Dialog and message-box loops only: a menu's or scroll bar's loop keeps its keys.
LRESULT CALLBACK FilterProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if ((code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX) && lParam != 0 &&
        PreTranslateBrowserMessage(*reinterpret_cast<MSG*>(lParam))) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool PreTranslateBrowserMessage(MSG& message) {
    if (!IsKeyMessage(message.message)) {
        return false;
    }
    const HWND host = BrowserHostHolding(message.hwnd);
    return host != nullptr && ForwardKeyToHostedControl(host, message);
}

BrowserKeysInModalLoops::BrowserKeysInModalLoops()
    : hook_(SetWindowsHookExW(WH_MSGFILTER, &FilterProcedure, nullptr, GetCurrentThreadId())) {}

BrowserKeysInModalLoops::~BrowserKeysInModalLoops() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
}

}  // namespace kesto::win32
