#pragma once
// The small window-subclassing layer: an object attaches itself to an existing window, sees
// every message first through ProcessWindowMessage, and hands the rest to the window's previous
// procedure. The object detaches when the window is destroyed or the object goes away first.

#include <windows.h>

namespace kesto::win32 {

class SubclassedWindow {
  public:
    SubclassedWindow() = default;
    virtual ~SubclassedWindow();
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    // Attaches to the window; false when the window does not exist, is already attached to an
    // object, or its procedure cannot be replaced.
    bool Attach(HWND window);
    // Gives the window its previous procedure back.
    void Detach();

    HWND window() const { return window_; }

  protected:
    // Handles a message: true with the result set, or false to pass it on.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    // What the window did before it was attached.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
};

}  // namespace kesto::win32
