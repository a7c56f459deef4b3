#include "app/win32/hyperlink.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "app/win32/link_colours_registry.h"
#include "app/win32/shell_open.h"

namespace kesto::win32 {

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr int kClassNameBuffer = 8;

LinkRect ToLinkRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const LinkRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

COLORREF ToColorRef(LinkColour colour) {
    return static_cast<COLORREF>(colour);
}

UINT DrawAlignment(HWND window) {
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(window, GWL_STYLE));
    switch (AlignmentOfStaticStyle(style)) {
        case LinkAlignment::Centre:
            return DT_CENTER;
        case LinkAlignment::Right:
            return DT_RIGHT;
        case LinkAlignment::Left:
            break;
    }
    return DT_LEFT;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// Whether WM_GETDLGCODE asks about a pressed Enter key (its lParam, when set, is the message the
// dialog is about to handle).
bool IsEnterKeyDown(LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    return message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
}

}  // namespace

CHyperLink::CHyperLink() : CHyperLink(&ShellOpen) {}

CHyperLink::CHyperLink(Opener opener) : opener_(std::move(opener)) {}

bool CHyperLink::Subclass(HWND window) {
    if (!Attach(window)) {
        return false;
    }
    SetUp();
    return true;
}

void CHyperLink::MakeLinkFont() {
    if (normalFont_ == nullptr) {
        linkFont_.reset();
        return;
    }
    LOGFONTW description{};
    GetObjectW(normalFont_, sizeof(description), &description);
    description.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&description));
}

void CHyperLink::SetUp() {
    wchar_t className[kClassNameBuffer] = {};
    GetClassNameW(window(), className, kClassNameBuffer);
    if (lstrcmpiW(className, L"static") == 0) {
        const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(window(), GWL_STYLE));
        if ((style & kStaticNotifyStyle) == 0) {
            SetWindowLongPtrW(window(), GWL_STYLE,
                              static_cast<LONG_PTR>(style | kStaticNotifyStyle));
        }
        paintLabel_ = StaticPaintsLabel(style);
    }
    linkCursor_ = LoadCursorW(nullptr, IDC_HAND);
    if (paintLabel_) {
        normalFont_ = reinterpret_cast<HFONT>(SendMessageW(GetParent(window()), WM_GETFONT, 0, 0));
        if (normalFont_ == nullptr) {
            normalFont_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        }
        MakeLinkFont();
    }
    tooltip_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!label_) {
        const std::wstring text = WindowText(window());
        if (!text.empty()) {
            SetLinkLabel(text);
        }
    }
    CalcLinkRect();
    if (target_) {
        RegisterTool();
    } else if (label_) {
        SetLinkTarget(*label_);
    }
    if (paintLabel_) {
        ReadBrowserLinkColours(linkColour_, visitedColour_);
    }
}

bool CHyperLink::SetLinkLabel(const std::wstring& text) {
    label_ = text;
    CalcLinkRect();
    if (window() != nullptr) {
        SetWindowTextW(window(), label_->c_str());
    }
    return true;
}

bool CHyperLink::SetLinkTarget(const std::wstring& text) {
    target_ = text;
    if (!label_) {
        CalcLinkRect();
    }
    RegisterTool();
    return true;
}

// The tooltip keeps one tool, the link rectangle, whose text is the current target: a new
// target replaces the tool registered for the earlier one.
void CHyperLink::RegisterTool() {
    if (tooltip_ == nullptr || !target_) {
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = 0;
    tool.hwnd = window();
    tool.uId = kToolId;
    tool.rect = linkRect_;
    tool.hinst = GetModuleHandleW(nullptr);
    tool.lpszText = target_->data();
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

const std::wstring* CHyperLink::ShownText() const {
    if (label_) {
        return &*label_;
    }
    return target_ ? &*target_ : nullptr;
}

void CHyperLink::CalcLinkRect() {
    const std::wstring* text = ShownText();
    if (window() == nullptr || text == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(window(), &client);
    linkRect_ = client;
    if (!paintLabel_) {
        return;
    }
    const WindowDc dc(window());
    const SelectedObject font(dc.get(), linkFont_ ? linkFont_.get() : normalFont_);
    RECT measured = client;
    const UINT alignment = DrawAlignment(window());
    DrawTextW(dc.get(), text->c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | alignment);
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(window(), GWL_STYLE));
    linkRect_ = ToRect(
        PlaceMeasuredText(ToLinkRect(client), ToLinkRect(measured), AlignmentOfStaticStyle(style)));
}

void CHyperLink::Paint(HDC dc) {
    RECT client{};
    GetClientRect(window(), &client);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(window()), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(window())));
    if (brush != nullptr) {
        FillRect(dc, &client, brush);
    }
    SetBkMode(dc, TRANSPARENT);
    COLORREF colour = ToColorRef(visited_ ? visitedColour_ : linkColour_);
    if (!IsWindowEnabled(window())) {
        colour = GetSysColor(COLOR_GRAYTEXT);
    }
    const COLORREF previousColour = SetTextColor(dc, colour);
    {
        const SelectedObject font(dc, linkFont_ ? linkFont_.get() : normalFont_);
        if (const std::wstring* text = ShownText()) {
            RECT area = linkRect_;
            DrawTextW(dc, text->c_str(), -1, &area, DT_WORDBREAK | DrawAlignment(window()));
        }
        if (GetFocus() == window()) {
            DrawFocusRect(dc, &linkRect_);
        }
    }
    SetTextColor(dc, previousColour);
}

void CHyperLink::Navigate() {
    if (!target_ || !opener_) {
        return;
    }
    if (opener_(*target_)) {
        visited_ = true;
        Repaint(false);
    }
}

void CHyperLink::Repaint(bool now) {
    InvalidateRect(window(), nullptr, TRUE);
    if (now) {
        UpdateWindow(window());
    }
}

bool CHyperLink::PointerInLink(LPARAM position) const {
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return PtInRect(&linkRect_, point) != FALSE;
}

bool CHyperLink::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message >= WM_MOUSEFIRST && message <= 0x20D) {
        if (tooltip_ != nullptr) {
            MSG relayed{window(), message, wParam, lParam, 0, {}};
            SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
        return HandleMouse(message, wParam, lParam, result);
    }
    if (HandleKeyboardAndFocus(message, wParam, lParam, result)) {
        return true;
    }
    return HandleDrawing(message, wParam, lParam, result);
}

bool CHyperLink::HandleMouse(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_MOUSEMOVE:
            if (PointerInLink(lParam) && target_) {
                SetCursor(linkCursor_);
                return true;
            }
            return false;
        case WM_LBUTTONDOWN:
            if (PointerInLink(lParam)) {
                SetFocus(window());
                SetCapture(window());
                return true;
            }
            return false;
        case WM_LBUTTONUP:
            if (GetCapture() == window()) {
                ReleaseCapture();
                if (PointerInLink(lParam)) {
                    Navigate();
                }
            }
            return true;
        case WM_MOUSELEAVE:
            return true;
        default:
            return false;
    }
}

bool CHyperLink::HandleKeyboardAndFocus(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_SETCURSOR: {
            POINT point{};
            GetCursorPos(&point);
            ScreenToClient(window(), &point);
            if (PtInRect(&linkRect_, point) && target_) {
                SetCursor(linkCursor_);
                result = 1;
                return true;
            }
            return false;
        }
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                Navigate();
            }
            return true;
        case WM_GETDLGCODE:
            // Enter on the focused link opens it, as a click does, instead of pressing the
            // dialog's default button: the dialog then hands the key on to the link.
            result = DLGC_WANTCHARS | (IsEnterKeyDown(lParam) ? DLGC_WANTMESSAGE : 0);
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!paintLabel_) {
                return false;
            }
            Repaint(false);
            return true;
        default:
            return false;
    }
}

bool CHyperLink::HandleDrawing(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_PAINT:
            if (!paintLabel_) {
                return false;
            }
            {
                const PaintDc dc(window());
                Paint(dc.get());
            }
            return true;
        case WM_PRINTCLIENT:
            if (!paintLabel_) {
                return false;
            }
            Paint(reinterpret_cast<HDC>(wParam));
            return true;
        case WM_SIZE:
            CalcLinkRect();
            Repaint(false);
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_SETFONT:
            // Also how a per-monitor DPI change reaches the link: the dialog hands every control
            // its font made anew for the monitor's DPI.
            normalFont_ = reinterpret_cast<HFONT>(wParam);
            if (paintLabel_) {
                MakeLinkFont();
                CalcLinkRect();
            }
            if (LOWORD(lParam) != 0) {
                Repaint(true);
            }
            return true;
        case WM_ENABLE:
            Repaint(true);
            return true;
        case WM_GETFONT:
            result = reinterpret_cast<LRESULT>(normalFont_);
            return true;
        case WM_UPDATEUISTATE:
            return true;
        case WM_DESTROY:
            if (tooltip_ != nullptr) {
                DestroyWindow(tooltip_);
                tooltip_ = nullptr;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace kesto::win32
