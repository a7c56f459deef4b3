#include "app/win32/window_subclass.h"

namespace kesto::win32 {

namespace {

// The window property that leads a message from the window to its object.
constexpr wchar_t kObjectProperty[] = L"kesto.SubclassedWindow";

}  // namespace

SubclassedWindow::~SubclassedWindow() {
    Detach();
}

bool SubclassedWindow::Attach(HWND window) {
    if (window_ != nullptr || !IsWindow(window) || GetPropW(window, kObjectProperty) != nullptr) {
        return false;
    }
    if (!SetPropW(window, kObjectProperty, this)) {
        return false;
    }
    SetLastError(0);
    const LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    if (previous == 0 && GetLastError() != 0) {
        RemovePropW(window, kObjectProperty);
        return false;
    }
    window_ = window;
    previous_ = reinterpret_cast<WNDPROC>(previous);
    return true;
}

void SubclassedWindow::Detach() {
    if (window_ == nullptr) {
        return;
    }
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropW(window_, kObjectProperty);
    window_ = nullptr;
}

LRESULT SubclassedWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(previous_, window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* object = static_cast<SubclassedWindow*>(GetPropW(window, kObjectProperty));
    if (object == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window's last message: the previous procedure sees it after the object has let go.
        const WNDPROC previous = object->previous_;
        object->Detach();
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (object->ProcessWindowMessage(message, wParam, lParam, result)) {
        return result;
    }
    return object->CallPrevious(message, wParam, lParam);
}

}  // namespace kesto::win32
