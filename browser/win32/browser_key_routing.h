#pragma once
// Keys typed in a browser window go to its web-browser control before the message loop
// translates or dispatches them, so that the page's own key handling (Tab between form fields,
// Enter, Delete, Backspace, the clipboard keys) works. The program's loop is the main dialog's
// modal loop, which offers every message it takes to the thread's message-filter hook first.

#include <windows.h>

namespace kesto::win32 {

// For a key message meant for a window inside one of the program's browser windows: hands it
// to that window's control while the control is UI active. True when the control translated it:
// the loop must then neither translate nor dispatch it.
bool PreTranslateBrowserMessage(MSG& message);

// While it lives, the dialog and message-box loops run on the thread that made it apply
// PreTranslateBrowserMessage to each message they take (a WH_MSGFILTER hook of the thread).
class BrowserKeysInModalLoops {
  public:
    BrowserKeysInModalLoops();
    ~BrowserKeysInModalLoops();
    BrowserKeysInModalLoops(const BrowserKeysInModalLoops&) = delete;
    BrowserKeysInModalLoops& operator=(const BrowserKeysInModalLoops&) = delete;

    bool installed() const { return hook_ != nullptr; }

  private:
    HHOOK hook_;
};

}  // namespace kesto::win32
