#include "browser/win32/control_browser_window.h"

#include <memory>

#include "browser/win32/browser_host_window.h"
#include "browser/win32/browser_ids.h"
#include "browser/win32/html_document.h"
#include "browser/window_placement.h"
#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

using Microsoft::WRL::ComPtr;

constexpr int kClassTextCharacters = 64;

class SystemString {
  public:
    SystemString() = default;
    explicit SystemString(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
    ~SystemString() { SysFreeString(text_); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;
    BSTR get() const { return text_; }
    BSTR* out() { return &text_; }

  private:
    BSTR text_ = nullptr;
};

template <typename Interface>
ComPtr<Interface> Query(IUnknown* object, REFIID iid) {
    ComPtr<Interface> result;
    if (object != nullptr) {
        object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
    }
    return result;
}

ComPtr<IUnknown> Identity(IUnknown* object) {
    return Query<IUnknown>(object, IID_IUnknown);
}

ScreenRect ToScreenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

Microsoft::WRL::ComPtr<BrowserEventSink> BrowserEventSink::Create(ControlBrowserWindow& window) {
    // The new object counts no reference yet: the pointer takes the first.
    return ComPtr<BrowserEventSink>(new BrowserEventSink(window));
}

STDMETHODIMP BrowserEventSink::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kWebBrowserEvents2Interface)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The events arrive on the window's thread only.
STDMETHODIMP_(ULONG) BrowserEventSink::AddRef() {
    return ++references_;
}

STDMETHODIMP_(ULONG) BrowserEventSink::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP BrowserEventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

// The program carries no type library: the control's events are dispatched by identifier.
STDMETHODIMP BrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP BrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

// An event after the window has gone is answered as one the window does not handle.
STDMETHODIMP BrowserEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                      VARIANT*, EXCEPINFO*, UINT*) {
    if (window_ == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // The window may go while it handles the event (a page closing it); the sink stays.
    const ComPtr<BrowserEventSink> alive(this);
    return window_->OnEvent(member, parameters);
}

ControlBrowserWindow::ControlBrowserWindow(BrowserEvents& events, ControlBrowserSettings settings)
    : events_(events), settings_(std::move(settings)), eventSink_(BrowserEventSink::Create(*this)) {
    const HWND owner = settings_.owner ? settings_.owner() : nullptr;
    CreateWindowExW(0, kBrowserFrameClass, L"about:blank", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        return;
    }
    // Visible by its style, the window hides until the first Navigate.
    ShowWindow(window_, SW_HIDE);
    if (browser_) {
        // Not silent: the page's own messages (a wrong password, a captcha hint) reach the
        // user. Its script errors raise no box all the same, the control site answers them.
        browser_->put_Silent(VARIANT_FALSE);
        ConnectEvents();
    }
}

// Teardown: events disconnected (the sink, should the control still hold it, reaches this object
// no more), document dropped, window (and with it the control's host) destroyed, then the control
// told to quit and released.
ControlBrowserWindow::~ControlBrowserWindow() {
    if (connectionPoint_) {
        connectionPoint_->Unadvise(adviseCookie_);
        connectionPoint_.Reset();
    }
    eventSink_->Detach();
    document_.Reset();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (browser_) {
        browser_->Quit();
        browser_.Reset();
    }
}

bool ControlBrowserWindow::RegisterWindowClasses() {
    if (!RegisterHostWindowClasses()) {
        return false;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kBrowserFrameClass, &windowClass)) {
        return true;
    }
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &FrameProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kBrowserFrameClass;
    return RegisterClassExW(&windowClass) != 0;
}

void ControlBrowserWindow::Present() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_SHOWNORMAL);
        SetForegroundWindow(window_);
    }
}

bool ControlBrowserWindow::Navigate(const std::string& url) {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_SHOWNORMAL);
    }
    const SystemString address(Widen(url));
    if (address.get() == nullptr && !url.empty()) {
        throw std::bad_alloc();
    }
    if (!browser_) {
        return false;
    }
    VARIANT empty;
    VariantInit(&empty);
    return SUCCEEDED(browser_->Navigate(address.get(), &empty, &empty, &empty, &empty));
}

void ControlBrowserWindow::Close() {
    if (window_ != nullptr) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void ControlBrowserWindow::CloseSoon() {
    if (window_ != nullptr) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
}

HRESULT ControlBrowserWindow::OnEvent(DISPID member, DISPPARAMS* parameters) {
    switch (member) {
        case kStatusTextChange:
            return S_OK;
        case kDownloadComplete:
            OnDownloadComplete();
            return S_OK;
        case kDocumentComplete:
            if (parameters != nullptr) {
                OnDocumentComplete(*parameters);
            }
            return S_OK;
        // NewWindow2 (ppDisp, Cancel) and NewWindow3 (ppDisp, Cancel, dwFlags, bstrUrlContext,
        // bstrUrl); the arguments come in reverse order.
        case kNewWindow2:
        case kNewWindow3: {
            const UINT count = member == kNewWindow2 ? 2 : 5;
            if (parameters == nullptr || parameters->cArgs != count) {
                return DISP_E_BADPARAMCOUNT;
            }
            OnNewWindow(parameters->rgvarg[count - 1], parameters->rgvarg[count - 2]);
            return S_OK;
        }
        // WindowClosing (IsChildWindow, Cancel): a page's script closes its window.
        case kWindowClosing:
            if (parameters == nullptr || parameters->cArgs != 2) {
                return DISP_E_BADPARAMCOUNT;
            }
            OnWindowClosing(parameters->rgvarg[1], parameters->rgvarg[0]);
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

LRESULT CALLBACK ControlBrowserWindow::FrameProcedure(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<ControlBrowserWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<ControlBrowserWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return self->OnCreate();
        case WM_ACTIVATE:
            if (self->hostWindow_ != nullptr) {
                self->OnActivate(wParam);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // The host window passes the focus on to the control.
            if (self->hostWindow_ != nullptr) {
                SetFocus(self->hostWindow_);
                return 0;
            }
            break;
        case WM_SIZE:
            if (self->hostWindow_ != nullptr) {
                SetWindowPos(self->hostWindow_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                             SWP_NOMOVE | SWP_NOZORDER);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            self->ClosePopups();
            if (self->hostWindow_ != nullptr && DestroyWindow(self->hostWindow_)) {
                self->hostWindow_ = nullptr;
            }
            return 1;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
            self->hostWindow_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ControlBrowserWindow::OnCreate() {
    PlaceWindow();
    wchar_t classText[kClassTextCharacters] = {};
    StringFromGUID2(kWebBrowserClass, classText, kClassTextCharacters);
    RECT area{};
    GetClientRect(window_, &area);
    hostWindow_ = CreateWindowExW(0, kHostWindowClass, nullptr, WS_CHILD | WS_VISIBLE, area.left,
                                  area.top, area.right - area.left, area.bottom - area.top, window_,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hostWindow_ == nullptr) {
        return 0;
    }
    const HRESULT created = settings_.makeControl
                                ? CreateControlInHost(hostWindow_, settings_.makeControl)
                                : CreateControlInHost(hostWindow_, classText);
    if (SUCCEEDED(created)) {
        browser_ = Query<IWebBrowser2>(HostedControl(hostWindow_).Get(), kWebBrowser2Interface);
    }
    return 0;
}

// Centred on the desktop's work area, not activated; size and z-order unchanged.
void ControlBrowserWindow::PlaceWindow() {
    RECT work{};
    RECT current{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window_, &current);
    const ScreenRect placed = CentreInWorkArea(ToScreenRect(work), ToScreenRect(current));
    SetWindowPos(window_, nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlBrowserWindow::ConnectEvents() {
    const auto container =
        Query<IConnectionPointContainer>(browser_.Get(), kConnectionPointContainerInterface);
    ComPtr<IConnectionPoint> point;
    if (!container ||
        FAILED(container->FindConnectionPoint(kWebBrowserEvents2Interface, point.GetAddressOf()))) {
        return;
    }
    if (SUCCEEDED(point->Advise(eventSink_.Get(), &adviseCookie_))) {
        connectionPoint_ = point;
    }
}

// Activated (not minimised): the control is UI-activated and takes the focus; deactivated: it
// hears so.
void ControlBrowserWindow::OnActivate(WPARAM wParam) {
    const bool active = LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0;
    OnHostFrameActivate(hostWindow_, active);
}

void ControlBrowserWindow::OnDownloadComplete() {
    if (!browser_ || window_ == nullptr) {
        return;
    }
    SystemString location;
    if (SUCCEEDED(browser_->get_LocationURL(location.out()))) {
        SetWindowTextW(window_, location.get() != nullptr ? location.get() : L"");
    }
}

// Only the top-level document counts: the event's frame must be the control itself. A
// top-level document that is not HTML leaves no cookie text and reports an empty document.
void ControlBrowserWindow::OnDocumentComplete(const DISPPARAMS& parameters) {
    document_.Reset();
    if (!browser_ || parameters.cArgs < 2 || parameters.rgvarg[1].vt != VT_DISPATCH) {
        return;
    }
    ComPtr<IDispatch> current;
    browser_->get_Document(current.GetAddressOf());
    const auto frame = Query<IWebBrowser2>(parameters.rgvarg[1].pdispVal, kWebBrowser2Interface);
    if (!frame || Identity(frame.Get()) != Identity(browser_.Get())) {
        return;
    }
    document_ = Query<IHTMLDocument2>(current.Get(), kHtmlDocument2Interface);
    std::string cookieText;
    if (document_) {
        SystemString cookie;
        if (SUCCEEDED(document_->get_cookie(cookie.out()))) {
            cookieText = SystemStringText(cookie.get());
        }
    }
    if (settings_.afterTopLevelDocument) {
        settings_.afterTopLevelDocument();
    }
    HtmlDocument document(document_.Get());
    events_.OnTopLevelDocumentComplete(std::move(cookieText), document);
}

// The new page goes into a new window of ours: its control, registered as a browser, is handed
// back through ppDisp, and the engine loads the page there, in the opener's session. When no
// such window can be made the page is cancelled rather than let open outside the program.
void ControlBrowserWindow::OnNewWindow(VARIANT& newBrowser, VARIANT& cancel) {
    if (cancel.vt != (VT_BYREF | VT_BOOL) || cancel.pboolVal == nullptr) {
        return;
    }
    *cancel.pboolVal = VARIANT_TRUE;
    if (newBrowser.vt != (VT_BYREF | VT_DISPATCH) || newBrowser.ppdispVal == nullptr) {
        return;
    }
    std::erase_if(popups_, [](const auto& popup) { return !popup->IsOpen(); });
    ControlBrowserSettings popupSettings = settings_;
    popupSettings.owner = [opener = window_] { return opener; };
    auto popup = std::make_unique<ControlBrowserWindow>(events_, std::move(popupSettings));
    ComPtr<IDispatch> application;
    if (!popup->browser_ || FAILED(popup->browser_->put_RegisterAsBrowser(VARIANT_TRUE)) ||
        FAILED(popup->browser_->get_Application(application.GetAddressOf())) || !application) {
        return;
    }
    IDispatch*& handedBack = *newBrowser.ppdispVal;
    if (handedBack != nullptr) {
        handedBack->Release();
    }
    handedBack = application.Detach();
    *cancel.pboolVal = VARIANT_FALSE;
    ShowWindow(popup->window_, SW_SHOWNORMAL);
    popups_.push_back(std::move(popup));
}

// The window closes with its page (a login pop-up often closes itself once done) instead of
// staying open and empty; it closes once the event has returned.
void ControlBrowserWindow::OnWindowClosing(const VARIANT& childWindow, VARIANT& cancel) {
    const bool child = childWindow.vt == VT_BOOL && childWindow.boolVal != VARIANT_FALSE;
    if (child || cancel.vt != (VT_BYREF | VT_BOOL) || cancel.pboolVal == nullptr) {
        return;
    }
    *cancel.pboolVal = VARIANT_TRUE;
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void ControlBrowserWindow::ClosePopups() {
    for (const auto& popup : popups_) {
        popup->Close();
    }
}

BrowserWindowFactory MakeControlBrowserFactory(ControlBrowserSettings settings) {
    return
        [settings = std::move(settings)](BrowserEvents& events) -> std::unique_ptr<BrowserWindow> {
            return std::make_unique<ControlBrowserWindow>(events, settings);
        };
}

}  // namespace kesto::win32
