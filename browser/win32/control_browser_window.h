#pragma once
// BrowserWindow over the platform's web-browser control: a top-level window whose client area
// is a control host ("AtlAxWin80") holding the control. The object is the control's event sink
// for DWebBrowserEvents2 (an IDispatch that is not reference counted: it lives as long as its
// owner keeps it). The caption follows each completed download; each completed top-level
// document is reported with its cookie text. When the window activates, the control is
// UI-activated and takes the keyboard focus. A page that opens a new window (a link with a
// target, a script's window.open) gets a new window of this kind, owned by this one, reporting
// to the same events: the login may go on in it, and nothing opens outside the program. A page
// whose script closes its window closes the window.

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
};

// COM objects are never deleted through their interfaces, which have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ControlBrowserWindow final : public BrowserWindow, public IDispatch {
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

    // IUnknown and IDispatch
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                        EXCEPINFO*, UINT*) override;

    HWND window() const { return window_; }
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
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
    Microsoft::WRL::ComPtr<IHTMLDocument2> document_;
    Microsoft::WRL::ComPtr<IConnectionPoint> connectionPoint_;
    DWORD adviseCookie_ = 0;
    std::vector<std::unique_ptr<ControlBrowserWindow>> popups_;
};
#pragma GCC diagnostic pop

// Makes web-browser control windows with the settings; the window classes must have been
// registered.
BrowserWindowFactory MakeControlBrowserFactory(ControlBrowserSettings settings = {});

}  // namespace kesto::win32
