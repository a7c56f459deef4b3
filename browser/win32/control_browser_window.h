#pragma once
// BrowserWindow over the platform's web-browser control: a top-level window whose client area
// is a control host ("AtlAxWin80") holding the control. The control's events for
// DWebBrowserEvents2 go to an event sink of the window's, a COM object of its own that counts its
// references. The caption follows each completed download; each completed top-level document is
// reported with its cookie text. When the window activates, the control is UI-activated and
// takes the keyboard focus. The window may have an owner (the main dialog): it then has no
// taskbar button of its own and never falls behind its owner. A page that opens a new window (a
// link with a target, a script's window.open) gets a new window of this kind, owned by this one,
// reporting to the same events: the login may go on in it, and nothing opens outside the
// program. A page whose script closes its window closes the window.

#include <windows.h>

#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_window.h"
#include "browser/win32/control_site.h"

namespace kesto::win32 {

inline constexpr wchar_t kBrowserFrameClass[] = L"KestoMiniBrowser";

struct ControlBrowserSettings {
    // Runs after each completed top-level document, before the document is reported.
    std::function<void()> afterTopLevelDocument;
    // Makes the control; empty for the platform's web-browser control.
    ControlMaker makeControl{};
    // The window each new browser window is owned by, asked when the window is made; empty, or
    // null, for none.
    std::function<HWND()> owner{};
};

class ControlBrowserWindow;

// COM objects are never deleted through their interfaces, which have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The control's event sink: an IDispatch answering for DWebBrowserEvents2, counting its
// references (its window holds one, the control's connection point one while it is advised) and
// going with the last. It hands the events to its window while the window lives; once the window
// has gone (Detach) it answers them and does nothing.
class BrowserEventSink final : public IDispatch {
  public:
    static Microsoft::WRL::ComPtr<BrowserEventSink> Create(ControlBrowserWindow& window);
    BrowserEventSink(const BrowserEventSink&) = delete;
    BrowserEventSink& operator=(const BrowserEventSink&) = delete;

    // The window is going: no event reaches it from now on.
    void Detach() { window_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                        EXCEPINFO*, UINT*) override;

  private:
    explicit BrowserEventSink(ControlBrowserWindow& window) : window_(&window) {}
    ~BrowserEventSink() = default;

    ControlBrowserWindow* window_;  // not owned; null once the window has gone
    ULONG references_ = 0;
};
#pragma GCC diagnostic pop

class ControlBrowserWindow final : public BrowserWindow {
  public:
    // Creates the window, hidden and centred, with its control not silent (the page's own
    // messages show; its script errors are answered by the control site) and the control's
    // events connected. IsOpen answers false when the window cannot be created.
    explicit ControlBrowserWindow(BrowserEvents& events, ControlBrowserSettings settings = {});
    ~ControlBrowserWindow() override;
    ControlBrowserWindow(const ControlBrowserWindow&) = delete;
    ControlBrowserWindow& operator=(const ControlBrowserWindow&) = delete;

    // Registers the frame and control-host window classes; once per process, before the first
    // window. False when a class cannot be registered.
    static bool RegisterWindowClasses();

    // BrowserWindow
    bool IsOpen() const override { return window_ != nullptr; }
    void Present() override;
    // Shows the window and sends the control to the address; false without a control or when
    // the control refuses the address.
    bool Navigate(const std::string& url) override;
    // Sends WM_CLOSE to the window, which destroys it.
    void Close() override;
    // Posts WM_CLOSE to the window; a window destroyed before then takes no message.
    void CloseSoon() override;

    // One of the control's events, by its dispatch identifier, from the event sink.
    HRESULT OnEvent(DISPID member, DISPPARAMS* parameters);

    HWND window() const { return window_; }
    // The control's event sink (not a reference of the caller's).
    IDispatch* eventSink() const { return eventSink_.Get(); }
    HWND hostWindow() const { return hostWindow_; }
    IWebBrowser2* browser() const { return browser_.Get(); }
    // The windows pages of this one opened, in the order they were opened.
    const std::vector<std::unique_ptr<ControlBrowserWindow>>& popups() const { return popups_; }

  private:
    static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate();
    void PlaceWindow();
    void ConnectEvents();
    void OnActivate(WPARAM wParam);
    void OnDownloadComplete();
    void OnDocumentComplete(const DISPPARAMS& parameters);
    void OnNewWindow(VARIANT& newBrowser, VARIANT& cancel);
    void OnWindowClosing(const VARIANT& childWindow, VARIANT& cancel);
    void ClosePopups();

    BrowserEvents& events_;
    ControlBrowserSettings settings_;
    HWND window_ = nullptr;
    HWND hostWindow_ = nullptr;
    Microsoft::WRL::ComPtr<BrowserEventSink> eventSink_;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
    Microsoft::WRL::ComPtr<IHTMLDocument2> document_;
    Microsoft::WRL::ComPtr<IConnectionPoint> connectionPoint_;
    DWORD adviseCookie_ = 0;
    std::vector<std::unique_ptr<ControlBrowserWindow>> popups_;
};

// Makes web-browser control windows with the settings; the window classes must have been
// registered.
BrowserWindowFactory MakeControlBrowserFactory(ControlBrowserSettings settings = {});

}  // namespace kesto::win32
