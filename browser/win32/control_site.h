#pragma once
// The small OLE in-place container the web-browser control needs: the client site, the
// in-place site, the in-place frame, the control site and the document host of one hosted
// control, all answered by one object that belongs to the host window. The control is made by a
// control maker, given the site, and activated in place in the host window. The site keeps the
// control's in-place active object while the control is UI active and hands it the keys of the
// container's message loop first. As the control's command target it answers a page's script
// error itself, so that no error box interrupts the login, and lets the page's scripts run on.

#include <windows.h>

#include <docobj.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <ole2.h>
#include <wrl/client.h>

#include <functional>

namespace kesto::win32 {

// Makes a new control object, not yet given a site; the real one creates the web-browser
// control's class, a test its own double.
using ControlMaker = std::function<HRESULT(IOleObject** control)>;

// The maker of the in-process control of the class.
ControlMaker MakeControlOfClass(const CLSID& controlClass);

// COM objects are never deleted through their interfaces, which have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IOleControlSite,
                          public IDocHostUIHandler,
                          public IOleCommandTarget {
  public:
    // A new site for the host window, the caller holding its first reference.
    static Microsoft::WRL::ComPtr<ControlSite> Create(HWND host);
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    // Makes the control and activates it in place, filling the host window.
    HRESULT CreateControl(const ControlMaker& makeControl);
    // The hosted control, or null.
    Microsoft::WRL::ComPtr<IUnknown> Control() const;
    // Fits the control to the host window's client area.
    void Resize();
    // Deactivates and closes the control and lets go of it.
    void CloseControl();
    // UI-activates the control and gives the keyboard focus to its window, unless the focus is
    // in the control already.
    void FocusControl();
    // Tells the control's active object that the frame window was activated or deactivated.
    void OnFrameActivate(bool active);
    // Hands a key message to the control's in-place active object while the control is UI
    // active; true when the object translated it (the message must then not be dispatched).
    bool TranslateKey(MSG& message);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override;

    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    // Keeps the object (null when the control leaves the UI-active state).
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    // Of the frame and of the document host.
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    // The frame has no accelerators of its own.
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** extended) override;
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    // The container takes no key from the control: S_FALSE lets the control handle it.
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDocHostUIHandler: the document's own menus, defaults and drop handling stay; the host
    // adds no UI, no external object and no address translation.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    // The host is DPI-aware: the control scales its pages to the screen's DPI itself.
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    // The document handles every key itself: S_FALSE.
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override;

    // IOleCommandTarget: of the control's document-host commands only the script error is the
    // host's; every other command keeps the control's own handling.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                             OLECMDTEXT* text) override;
    // The script error: S_OK (the host has dealt with it, no error box) and VARIANT_TRUE in out
    // (the page's scripts go on running).
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                      VARIANT* out) override;

  private:
    explicit ControlSite(HWND host);
    // Only the last Release deletes the object.
    ~ControlSite();

    HWND host_;
    ULONG references_ = 0;
    bool oleInitialised_ = false;
    Microsoft::WRL::ComPtr<IOleObject> control_;
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> activeObject_;
};
#pragma GCC diagnostic pop

}  // namespace kesto::win32
